// The starter game's scripts: the villager in the pen (slot 1) and the question mark
// (slot 2). Written here in UTF-8 and stored as the game reads them: Shift-JIS with
// CR LF line ends.
#include "new_game.h"

#include "platform/text/cp932.h"

namespace {

constexpr int SLOTS = 100;

const char VILLAGER[] = R"(;Slot 1: the villager in the pen. Clicking her starts this script.
;e.2 is set once she has been met.
[image 1 layer=0 left=256 top=0]\
[if x="e.2 == 1"][jump target="*again"][endif]\
[playse 1]ミルーヌ「はじめまして！[l]
わたしはこの村のミルーヌ」[l][ct]
ミルーヌ「まん中のはてなマークも[l]
さわってみてね」[l]
[eval x="e.2 = 1"][exit]
*again
ミルーヌ「また会ったね」[l]
[exit]
)";

const char MARKER[] = R"(;Slot 2: the question mark in the middle of the map.
[playse 0]ここは新しいゲームの広場です。[l][ct]
[image 2 layer=1 left=512 top=0]\
どちらの曲にしますか？[l]
[link target=*calm]おだやかな曲[endlink]
[link target=*dark]くらい曲[endlink]
[s]
*calm
[playbgm 0]おだやかな曲にしました。[l]
[exit]
*dark
[playbgm 2]くらい曲にしました。[l]
[exit]
)";

std::vector<std::uint8_t> ShiftJisCrLf(const std::string& utf8) {
    std::string text;
    for (char c : utf8) {
        if (c == '\n')
            text += '\r';
        text += c;
    }
    std::string converted;
    Utf8ToCp932(text, &converted); // the texts above are all in code page 932
    return {converted.begin(), converted.end()};
}

} // namespace

void AddNewGameScripts(NewGameFiles* files) {
    std::string list;
    for (int slot = 0; slot < SLOTS; ++slot) {
        if (slot == 1)
            list += "./Scenario/villager.txt\n";
        else if (slot == 2)
            list += "./Scenario/marker.txt\n";
        else
            list += "NONE\n";
    }
    files->push_back({"Scenario/fileNameList.txt", ShiftJisCrLf(list)});
    files->push_back({"Scenario/villager.txt", ShiftJisCrLf(VILLAGER)});
    files->push_back({"Scenario/marker.txt", ShiftJisCrLf(MARKER)});
}
