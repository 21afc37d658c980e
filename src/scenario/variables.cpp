#include "scenario/variables.h"

#include "core/tokenizer.h"
#include "scenario/interpreter.h"
#include "scenario/page.h"

#include <cstdio>
#include <cstring>

std::int32_t g_eVars[E_VAR_COUNT];
std::int32_t g_sVars[S_VAR_COUNT];

namespace {

constexpr const char* ARITHMETIC_OPERATORS[] = {"+", "-", "*", "/"};
constexpr const char* COMPARISON_OPERATORS[] = {">", "<", ">=", "<=", "=="};

template <std::size_t N> bool IsOneOf(const char* op, const char* const (&names)[N]) {
    for (const char* name : names) {
        if (std::strcmp(op, name) == 0)
            return true;
    }
    return false;
}

// A tag holds at most this many words.
constexpr int MAX_EXPRESSION_TOKENS = MAX_TAG_LENGTH / 2 + 1;

struct OperandParts {
    char text[MAX_TAG_LENGTH + 1];
    char* head;  // before the first "." or line feed
    char* index; // after it, up to the next one
};

void SplitOperand(const char* token, OperandParts* parts) {
    std::snprintf(parts->text, sizeof parts->text, "%s", token);
    char* cursor = parts->text;
    parts->head = NextToken(&cursor, ".\n");
    parts->index = NextToken(&cursor, ".\n");
}

std::int32_t* VariableOf(const OperandParts& parts) {
    if (!parts.head || !parts.index)
        return nullptr;
    const int i = TokenToInt(parts.index);
    if (std::strcmp(parts.head, "e") == 0)
        return i >= 0 && i < E_VAR_COUNT ? &g_eVars[i] : nullptr;
    if (std::strcmp(parts.head, "s") == 0)
        return i >= 0 && i < S_VAR_COUNT ? &g_sVars[i] : nullptr;
    return nullptr;
}

// Signed 32-bit arithmetic that wraps instead of overflowing. Division by zero, and an
// operator that is not one of the four, leave the value as it was.
std::int32_t ApplyOperator(const char* op, std::int32_t a, std::int32_t b) {
    const std::uint32_t ua = static_cast<std::uint32_t>(a);
    const std::uint32_t ub = static_cast<std::uint32_t>(b);
    if (std::strcmp(op, "+") == 0)
        return static_cast<std::int32_t>(ua + ub);
    if (std::strcmp(op, "-") == 0)
        return static_cast<std::int32_t>(ua - ub);
    if (std::strcmp(op, "*") == 0)
        return static_cast<std::int32_t>(ua * ub);
    if (std::strcmp(op, "/") == 0) {
        if (b == 0)
            return a;
        if (b == -1)
            return static_cast<std::int32_t>(0u - ua);
        return a / b;
    }
    return a;
}

// Operand, operator, operand, ... strictly from left to right; an operator without an
// operand after it is dropped. count must be at least 1.
std::int32_t EvaluateTokens(char* const* tokens, int count, std::int32_t (*operand)(const char*)) {
    std::int32_t value = operand(tokens[0]);
    for (int i = 1; i + 1 < count; i += 2)
        value = ApplyOperator(tokens[i], value, operand(tokens[i + 1]));
    return value;
}

// In [if] only a token with a "." is a variable; anything else is a literal.
std::int32_t ConditionOperand(const char* token) {
    return std::strchr(token, '.') ? OperandValue(token) : TokenToInt(token);
}

bool Compare(const char* op, std::int32_t a, std::int32_t b) {
    if (std::strcmp(op, ">") == 0)
        return a > b;
    if (std::strcmp(op, "<") == 0)
        return a < b;
    if (std::strcmp(op, ">=") == 0)
        return a >= b;
    if (std::strcmp(op, "<=") == 0)
        return a <= b;
    return a == b;
}

// The tag text from its "[" up to, not including, its "]", and the cursor after the
// tag's name; null when the name is not `name`.
char* OpenTagText(int length, const char* name, char (&text)[MAX_TAG_LENGTH + 1]) {
    char* cursor = CopyTagText(length, text);
    if (char* close = std::strchr(text, ']'))
        *close = '\0';
    const char* first = NextToken(&cursor, TOKEN_DELIMITERS);
    if (!first || std::strcmp(first, name) != 0)
        return nullptr;
    // The attribute's name with its "=" is not looked at.
    NextToken(&cursor, WORD_DELIMITERS);
    return cursor;
}

int CollectTokens(char* cursor, char** tokens) {
    int count = 0;
    while (count < MAX_EXPRESSION_TOKENS) {
        char* token = NextToken(&cursor, WORD_DELIMITERS);
        if (!token)
            break;
        tokens[count++] = token;
    }
    return count;
}

// A condition with exactly one comparison between two non-empty sides; anything else
// is malformed and does not hold.
bool ConditionHolds(char** tokens, int count) {
    int comparison = -1;
    for (int i = 1; i < count; i += 2) {
        if (!IsComparisonOperator(tokens[i]))
            continue;
        if (comparison >= 0)
            return false;
        comparison = i;
    }
    if (comparison < 0 || comparison + 1 >= count)
        return false;
    const std::int32_t left = EvaluateTokens(tokens, comparison, ConditionOperand);
    const std::int32_t right =
        EvaluateTokens(tokens + comparison + 1, count - comparison - 1, ConditionOperand);
    return Compare(tokens[comparison], left, right);
}

// Removes everything from the [if] tag through the first [endif] after it; blocks do
// not nest. Without an [endif] the block runs to the end of the page.
void SkipBlock(int length) {
    const int start = g_messagePos - length;
    int at = g_messagePos;
    int end = g_pageLength;
    char name[MAX_TAG_LENGTH];
    while (at < g_pageLength) {
        int tagLength = 0;
        if (g_messageBuffer[at] != '[' ||
            !ReadTag(g_messageBuffer, at, g_pageLength, &tagLength, name)) {
            ++at;
            continue;
        }
        at += tagLength;
        if (std::strcmp(name, "endif") == 0) {
            end = at;
            break;
        }
    }
    g_messagePos = end;
    CutFromPage(end - start);
}

} // namespace

bool IsArithmeticOperator(const char* op) {
    return IsOneOf(op, ARITHMETIC_OPERATORS);
}

bool IsComparisonOperator(const char* op) {
    return IsOneOf(op, COMPARISON_OPERATORS);
}

std::int32_t* VariableSlot(const char* token) {
    OperandParts parts;
    SplitOperand(token, &parts);
    return VariableOf(parts);
}

std::int32_t OperandValue(const char* token) {
    OperandParts parts;
    SplitOperand(token, &parts);
    if (const std::int32_t* variable = VariableOf(parts))
        return *variable;
    return parts.head ? TokenToInt(parts.head) : 0;
}

void EvalTag(int length) {
    char text[MAX_TAG_LENGTH + 1];
    char* cursor = OpenTagText(length, "[eval", text);
    if (!cursor)
        return;
    const char* target = NextToken(&cursor, WORD_DELIMITERS);
    std::int32_t* variable = target ? VariableSlot(target) : nullptr;
    if (!variable)
        return;
    NextToken(&cursor, WORD_DELIMITERS); // the "=" sign
    char* tokens[MAX_EXPRESSION_TOKENS];
    const int count = CollectTokens(cursor, tokens);
    if (count == 0)
        return;
    *variable = EvaluateTokens(tokens, count, OperandValue);
}

void IfTag(int length) {
    char text[MAX_TAG_LENGTH + 1];
    char* cursor = OpenTagText(length, "[if", text);
    char* tokens[MAX_EXPRESSION_TOKENS];
    const int count = cursor ? CollectTokens(cursor, tokens) : 0;
    if (!cursor || ConditionHolds(tokens, count)) {
        CutFromPage(length);
        return;
    }
    SkipBlock(length);
}
