// Loose files are named with backslashes (".\CG\NowLoading.bmp"); the host uses "/".
#pragma once

#include <string>

inline std::string ToHostPath(const char* path) {
    std::string host = path ? path : "";
    for (char& c : host) {
        if (c == '\\')
            c = '/';
    }
    return host;
}
