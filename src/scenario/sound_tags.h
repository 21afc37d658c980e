// Tags that play sound effects and switch or stop the music.
#pragma once

void PlaySeTag(int length);
void PlayBgmTag(int length);
void StopBgmTag();
