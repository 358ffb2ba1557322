// Game pads on the main window's screens.
#include "game/PadKeys.h"

#include "game/Main.h"
#include "game/state/Globals.h"
#include "input/Gamepad.h"
#include "platform/Input.h"

namespace {
constexpr int VK_RETURN = 13, VK_ESCAPE = 27, VK_UP = 38, VK_DOWN = 40;
}

int PadKeyFor(int button, int gameState) {
    const bool playing = gameState == gsPlaying;
    switch (button) {
        case platform::PadUp:
        case platform::PadStickUp: return VK_UP;
        case platform::PadDown:
        case platform::PadStickDown: return VK_DOWN;
        case platform::PadA: return VK_RETURN;
        case platform::PadStart: return playing ? VK_ESCAPE : VK_RETURN;
        case platform::PadBack: return playing ? VK_ESCAPE : 0;
        default: return 0;
    }
}

void TMainForm::DoPadDown(int button, int pad) {
    lastPad_ = pad;
    const int key = PadKeyFor(button, GameState);
    if (key == 0) return;
    // Enter taken by a screen: the same press must not fire in the game it may start.
    if (key == VK_RETURN && GameState != gsPlaying) DXInput->Gamepad()->Consume(button);
    FormKeyDown(key, 0);
}

void TMainForm::InstallPadHooks() {
    Application().AddMessageHook(&lastPad_, [this](const platform::Message& m) {
        if (m.Kind == platform::MsgKind::PadRemoved) PadRemoved(static_cast<int>(m.Param));
    });
}

void TMainForm::RemovePadHooks() { Application().RemoveMessageHook(&lastPad_); }

void TMainForm::PadRemoved(int pad) {
    if (pad != lastPad_) return;
    lastPad_ = -1;
    // The player's only means of play is gone: stop the game as Escape would.
    if (GameState == gsPlaying) FormKeyDown(VK_ESCAPE, 0);
}
