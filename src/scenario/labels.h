// Label lines ("*name" up to the line end or a "|") in a scenario's script.
#pragma once

// Searches the script of slot n for the label and returns the script offset of the
// byte after the line feed or "|" that ends its name, or -1 when the script has
// no such label. With skipAttributes, a "*" right after "=" is not a label.
int FindLabel(int n, const char* name, int nameLength, bool skipAttributes);
