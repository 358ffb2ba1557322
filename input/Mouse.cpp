// The mouse device.
#include "input/Mouse.h"

#include "input/InputComponent.h"

TMouse::TMouse(TCustomDXInput* owner) : TCustomInput(owner) {
    bindInputStates_ = false;
    enabled_ = false;
}

TMouse::~TMouse() { TMouse::Finalize(); }

void TMouse::Finalize() {
    TCustomInput::Finalize();
    x_ = y_ = z_ = 0;
    buttons_.fill(0);
    dx_ = dy_ = 0;
    haveLast_ = false;
    held_.fill(0);
}

void TMouse::Initialize() {
    Finalize();
    if (!enabled_) return;
    if (!owner_->DirectInput()) throw EDXInputError("DirectInput is necessary to use the mouse");
    device_ = true;
    numButtons_ = 3;
    TCustomInput::Initialize();
}

void TMouse::MouseMessage(const platform::Message& msg) {
    if (!device_) return;
    using platform::MsgKind;
    if (msg.Kind == MsgKind::MouseMove || msg.Kind == MsgKind::MouseDown || msg.Kind == MsgKind::MouseUp) {
        if (haveLast_) {
            dx_ += msg.X - lastX_;
            dy_ += msg.Y - lastY_;
        }
        lastX_ = msg.X;
        lastY_ = msg.Y;
        haveLast_ = true;
    }
    if ((msg.Kind == MsgKind::MouseDown || msg.Kind == MsgKind::MouseUp) && msg.Button >= 1 && msg.Button <= 3)
        held_[msg.Button - 1] = msg.Kind == MsgKind::MouseDown ? 0x80 : 0;
}

void TMouse::Update() {
    x_ = y_ = z_ = 0;
    buttons_.fill(0);
    states_.Clear();
    if (!initialized_ || !InputAllowed()) return;
    if (!BeginStateRead()) return;
    x_ = dx_;
    y_ = dy_;
    dx_ = dy_ = 0;
    buttons_ = held_;
    if (x_ < 0) states_.Include(InputLeft);
    if (x_ > 0) states_.Include(InputRight);
    if (y_ < 0) states_.Include(InputUp);
    if (y_ > 0) states_.Include(InputDown);
    for (int i = 0; i < 3; ++i)
        if (buttons_[i] & 0x80) states_.Include(static_cast<TInputState>(InputButton1 + i));
}
