// The console line that goes with a message box about a file: the boxes' texts are
// fixed and rarely name the file, so an author reads here which file failed and why.
#pragma once

// Prints "tavelle: PATH: REASON" on stderr.
void ReportFileFailure(const char* path, const char* reason);
