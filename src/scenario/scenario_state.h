// The scenario's texts as the automation driver reports them in its state files.
#pragma once

#include <string>

// The drawn part of the page (its first g_messagePos bytes) as UTF-8, without the
// NUL bytes that hidden single-byte text leaves.
std::string DrawnMessageUtf8();
// The label a link record follows, as UTF-8; empty for a record outside the table.
std::string LinkTargetUtf8(int k);
