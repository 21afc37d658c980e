#include "core/file_report.h"

#include <cstdio>

void ReportFileFailure(const char* path, const char* reason) {
    std::fprintf(stderr, "tavelle: %s: %s\n", path ? path : "(no name)",
                 reason ? reason : "failed");
    std::fflush(stderr);
}
