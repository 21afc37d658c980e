#include "scenario/links.h"

#include "core/input_state.h"
#include "scenario/interpreter.h"
#include "scenario/labels.h"
#include "scenario/page.h"

#include <cstring>

LinkRecord g_links[LINK_COUNT];
int g_linkCount;

namespace {

// The label of the tag's "target=" attribute: from the second byte after the "=" (the
// "*" is passed over) up to the "]", which may be empty. False without such an attribute,
// or when the "]" follows the "=" at once.
bool ReadLinkTarget(int start, int close, char* target) {
    target[0] = '\0';
    // Right after "[link" and one space.
    const int attribute = start + 6;
    int equals = attribute;
    while (equals < close && g_messageBuffer[equals] != '=')
        ++equals;
    if (equals >= close || equals - attribute != 6 ||
        std::memcmp(g_messageBuffer + attribute, "target", 6) != 0)
        return false;
    const int from = equals + 2;
    if (from > close)
        return false;
    const int length = close - from;
    std::memcpy(target, g_messageBuffer + from, length);
    target[length] = '\0';
    return true;
}

bool TouchesPointer(const LinkRecord& link) {
    const ScreenVertex& p0 = g_cursorQuad.v[0];
    const ScreenVertex& p2 = g_cursorQuad.v[2];
    return link.quad.v[2].x >= p0.x && link.quad.v[2].y >= p0.y && link.quad.v[0].x <= p2.x &&
           link.quad.v[0].y <= p2.y;
}

} // namespace

void LinkTag(int length) {
    // A choice has at most LINK_COUNT records; a further link's caption shows but
    // cannot be chosen.
    if (g_linkCount < 0 || g_linkCount >= LINK_COUNT)
        return;
    LinkRecord& link = g_links[g_linkCount];
    link.hasTarget = ReadLinkTarget(g_messagePos - length, g_messagePos - 1, link.target);

    const float top = static_cast<float>(g_textRect.top + LINE_HEIGHT * g_textLine);
    for (int at = g_messagePos; at < g_pageLength && g_messageBuffer[at] != '[';) {
        if (static_cast<unsigned char>(g_messageBuffer[at]) >= 0x80) {
            ++g_textColumn;
            at += 2;
        } else {
            ++at;
        }
    }
    const float left = static_cast<float>(g_textRect.left);
    const float right = static_cast<float>(g_textRect.left + CHAR_CELL_WIDTH * g_textColumn);
    const float bottom = top + LINE_HEIGHT;
    ScreenVertex* v = link.quad.v;
    v[0].x = left;
    v[0].y = top;
    v[1].x = right;
    v[1].y = top;
    v[2].x = right;
    v[2].y = bottom;
    v[3].x = left;
    v[3].y = bottom;
    link.present = true;
    ++g_linkCount;
}

void SelectLink() {
    int hit = -1;
    for (int k = 0; k < LINK_COUNT; ++k) {
        if (!g_links[k].present)
            continue;
        if (TouchesPointer(g_links[k])) {
            hit = k;
            break;
        }
        g_links[k].hover = false;
    }
    if (hit < 0)
        return;
    g_links[hit].hover = true;
    // A held button is enough: the choice does not wait for a new click.
    if (!g_buttonDown[0])
        return;
    FollowLink(hit);
    g_selectWait = false;
    g_linkMode = false;
    for (LinkRecord& link : g_links) {
        link.present = false;
        link.hover = false;
    }
    g_linkCount = 0;
}

void FollowLink(int k) {
    if (k < 0 || k >= LINK_COUNT)
        return;
    if (!g_links[k].hasTarget)
        return;
    const char* target = g_links[k].target;
    const int offset = FindLabel(g_currentScenario, target,
                                 static_cast<int>(strnlen(target, LINK_TARGET_SIZE - 1)), false);
    // Without the label the walk goes on where it stands.
    if (offset >= 0)
        BeginPageAt(g_currentScenario, offset);
}
