// The pad works the settings and the backlog: its buttons come to the game as the keys
// they stand for, once as a press through the window's events and held while down.
#include "platform/input/gamepad.h"
#include "platform/input/key_codes.h"
#include "platform/system/window_system.h"
#include "platform/window/window_events.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>

namespace {

void PushButton(Uint8 button, bool down) {
    SDL_Event event = {};
    event.type = down ? SDL_CONTROLLERBUTTONDOWN : SDL_CONTROLLERBUTTONUP;
    event.cbutton.button = button;
    event.cbutton.state = down ? SDL_PRESSED : SDL_RELEASED;
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

WindowEvent NextEvent() {
    EXPECT_TRUE(PeekWindowEvent());
    return GetWindowEvent();
}

bool Held(int key) {
    std::uint8_t keys[256] = {};
    AddGamepadKeys(keys);
    return keys[key] != 0;
}

TEST(GamepadKeys, ButtonsArriveAsTheirKeysAndAreHeldUntilReleased) {
    ASSERT_TRUE(InitWindowSystem()) << SDL_GetError();
    const struct {
        Uint8 button;
        int key;
    } cases[] = {
        {SDL_CONTROLLER_BUTTON_BACK, DIK_F10},
        {SDL_CONTROLLER_BUTTON_DPAD_DOWN, DIK_DOWN},
        {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, DIK_RIGHT},
        {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, DIK_PRIOR},
        {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, DIK_LCONTROL},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        PushButton(c.button, true);
        const WindowEvent press = NextEvent();
        EXPECT_EQ(press.type, WINDOW_EVENT_KEYDOWN);
        EXPECT_EQ(press.key, c.key);
        EXPECT_TRUE(Held(c.key));
        PushButton(c.button, false);
        EXPECT_EQ(NextEvent().type, WINDOW_EVENT_NONE);
        EXPECT_FALSE(Held(c.key));
    }
    // A stands for the left button, not for a key.
    PushButton(SDL_CONTROLLER_BUTTON_A, true);
    EXPECT_EQ(NextEvent().type, WINDOW_EVENT_NONE);
    PushButton(SDL_CONTROLLER_BUTTON_A, false);
    NextEvent();
    QuitWindowSystem();
}

// A pad plugged in (SDL's virtual one): its right stick pushed up or down holds the
// up or down arrow, the backlog's scroll, and nothing when it rests.
TEST(GamepadKeys, RightStickHoldsTheArrowItIsPushedTo) {
    ASSERT_TRUE(InitWindowSystem()) << SDL_GetError();
    const int device = SDL_JoystickAttachVirtual(
        SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX, SDL_CONTROLLER_BUTTON_MAX, 0);
    ASSERT_GE(device, 0) << SDL_GetError();
    SDL_Joystick* stick = SDL_JoystickOpen(device);
    ASSERT_NE(stick, nullptr) << SDL_GetError();
    while (PeekWindowEvent())
        GetWindowEvent(); // the pad's arrival opens it
    const struct {
        Sint16 value;
        int held;
    } cases[] = {{-32767, DIK_UP}, {0, 0}, {32767, DIK_DOWN}, {-8000, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        ASSERT_EQ(SDL_JoystickSetVirtualAxis(stick, SDL_CONTROLLER_AXIS_RIGHTY, c.value), 0);
        SDL_JoystickUpdate();
        UpdateGamepad();
        EXPECT_EQ(Held(DIK_UP), c.held == DIK_UP);
        EXPECT_EQ(Held(DIK_DOWN), c.held == DIK_DOWN);
    }
    SDL_JoystickClose(stick);
    SDL_JoystickDetachVirtual(device);
    QuitWindowSystem();
}

} // namespace
