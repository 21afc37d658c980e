// Tags that move the walk elsewhere: a jump to a label and the return to the field.
#pragma once

void JumpTag(int length);
void ExitTag();
