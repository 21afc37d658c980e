#include "core/tokenizer.h"

#include <climits>
#include <cstdlib>
#include <cstring>

char* NextToken(char** cursor, const char* delimiters) {
    char* p = *cursor;
    if (!p)
        return nullptr;
    p += std::strspn(p, delimiters);
    if (*p == '\0') {
        *cursor = p;
        return nullptr;
    }
    char* token = p;
    p += std::strcspn(p, delimiters);
    if (*p != '\0')
        *p++ = '\0';
    *cursor = p;
    return token;
}

int TokenToInt(const char* token) {
    const long long value = std::strtoll(token, nullptr, 10);
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

float TokenToFloat(const char* token) {
    return static_cast<float>(std::strtod(token, nullptr));
}
