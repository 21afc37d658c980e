#include "input_script.h"

#include "platform/input/key_codes.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <sstream>

namespace {

struct KeyName {
    const char* name;
    int key;
};

constexpr KeyName KEY_NAMES[] = {
    {"F1", DIK_F1},
    {"ESCAPE", DIK_ESCAPE},
    {"F2", DIK_F2},
    {"SPACE", DIK_SPACE},
    {"RETURN", DIK_RETURN},
    {"F5", DIK_F5},
    {"F9", DIK_F9},
    {"F10", DIK_F10},
    {"A", DIK_A},
    {"PRIOR", DIK_PRIOR},
    {"NEXT", DIK_NEXT},
    {"BACK", DIK_BACK},
    {"LCONTROL", DIK_LCONTROL},
    {"LSHIFT", DIK_LSHIFT},
    {"UP", DIK_UP},
    {"DOWN", DIK_DOWN},
    {"LEFT", DIK_LEFT},
    {"RIGHT", DIK_RIGHT},
};

std::string KeyNameList() {
    std::string list;
    for (const KeyName& key : KEY_NAMES)
        list += (list.empty() ? "" : ", ") + std::string(key.name);
    return list;
}

struct PlainVerb {
    const char* name;
    ScriptEventType type;
};

// Events that take nothing but their frame.
constexpr PlainVerb PLAIN_VERBS[] = {
    {"minimize", SCRIPT_MINIMIZE},     {"restore", SCRIPT_RESTORE},
    {"focus-lost", SCRIPT_FOCUS_LOST}, {"focus-gained", SCRIPT_FOCUS_GAINED},
    {"audio-lost", SCRIPT_AUDIO_LOST}, {"audio-back", SCRIPT_AUDIO_BACK},
    {"close", SCRIPT_CLOSE},
};

const ScriptEventType* FindPlainVerb(const std::string& verb) {
    for (const PlainVerb& plain : PLAIN_VERBS) {
        if (verb == plain.name)
            return &plain.type;
    }
    return nullptr;
}

bool ParseButton(std::istringstream& in, int* button) {
    std::string name;
    if (!(in >> name)) {
        *button = 0;
        return true;
    }
    if (name == "left")
        *button = 0;
    else if (name == "right")
        *button = 1;
    else if (name == "middle")
        *button = 2;
    else
        return false;
    return true;
}

bool ParseLine(const std::string& line, std::vector<ScriptEvent>* events, std::string* why) {
    std::istringstream in(line);
    long frame = 0;
    std::string verb;
    // A click's up event comes two frames later, and that frame must be a number too.
    if (!(in >> frame >> verb) || frame < 0 || frame > std::numeric_limits<long>::max() - 2) {
        *why = "expected: FRAME EVENT ...";
        return false;
    }
    ScriptEvent event{frame, SCRIPT_MOVE, 0, 0, 0, 0, 0.0, 0.0, "", ""};
    if (verb == "move" || verb == "click") {
        if (!(in >> event.x >> event.y)) {
            *why = verb + " needs X Y";
            return false;
        }
        events->push_back(event);
        if (verb == "click") {
            ScriptEvent down = event;
            down.type = SCRIPT_DOWN;
            ScriptEvent up = down;
            up.type = SCRIPT_UP;
            up.frame = frame + 2;
            events->push_back(down);
            events->push_back(up);
        }
    } else if (verb == "clickat") {
        if (!(in >> event.groundX >> event.groundZ) || !std::isfinite(event.groundX) ||
            !std::isfinite(event.groundZ)) {
            *why = "clickat needs X Z";
            return false;
        }
        event.type = SCRIPT_AIM_DOWN;
        events->push_back(event);
        event.type = SCRIPT_UP;
        event.frame = frame + 2;
        events->push_back(event);
    } else if (verb == "wheel") {
        if (!(in >> event.x) || event.x == 0) {
            *why = "wheel needs a non-zero count of notches";
            return false;
        }
        event.type = SCRIPT_WHEEL;
        events->push_back(event);
    } else if (verb == "down" || verb == "up") {
        if (!ParseButton(in, &event.button)) {
            *why = "button must be left, right or middle";
            return false;
        }
        event.type = verb == "down" ? SCRIPT_DOWN : SCRIPT_UP;
        events->push_back(event);
    } else if (verb == "key" || verb == "keydown" || verb == "keyup") {
        std::string name;
        in >> name;
        const auto* found = std::find_if(std::begin(KEY_NAMES), std::end(KEY_NAMES),
                                         [&](const KeyName& k) { return name == k.name; });
        if (found == std::end(KEY_NAMES)) {
            *why = "unknown key '" + name + "' (" + KeyNameList() + ")";
            return false;
        }
        event.key = found->key;
        // "key" presses and lets go a frame later; the other two hold a key over frames.
        if (verb != "keyup") {
            event.type = SCRIPT_KEY_DOWN;
            events->push_back(event);
        }
        if (verb != "keydown") {
            event.type = SCRIPT_KEY_UP;
            event.frame = verb == "key" ? frame + 1 : frame;
            events->push_back(event);
        }
    } else if (const ScriptEventType* type = FindPlainVerb(verb)) {
        event.type = *type;
        events->push_back(event);
    } else if (verb == "copy") {
        if (!(in >> event.from >> event.to)) {
            *why = "copy needs FROM TO";
            return false;
        }
        event.type = SCRIPT_COPY;
        events->push_back(event);
    } else {
        *why = "unknown event '" + verb + "'";
        return false;
    }
    std::string extra;
    if (in >> extra) {
        *why = "unexpected '" + extra + "'";
        return false;
    }
    return true;
}

} // namespace

bool ParseInputScript(const std::string& text, std::vector<ScriptEvent>* events,
                      std::string* error) {
    std::istringstream in(text);
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        const std::size_t hash = line.find('#');
        if (hash != std::string::npos)
            line.erase(hash);
        if (line.find_first_not_of(" \t\r") == std::string::npos)
            continue;
        std::string why;
        if (!ParseLine(line, events, &why)) {
            *error = "line " + std::to_string(lineNo) + ": " + why;
            return false;
        }
    }
    std::stable_sort(events->begin(), events->end(),
                     [](const ScriptEvent& a, const ScriptEvent& b) { return a.frame < b.frame; });
    return true;
}
