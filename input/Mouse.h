// The mouse device: relative movement and three buttons gathered from the owning form's
// mouse messages (direct path only).
#pragma once

#include <array>
#include <cstdint>

#include "input/InputDevice.h"
#include "platform/Platform.h"

class TMouse : public TCustomInput {
public:
    explicit TMouse(TCustomDXInput* owner);
    ~TMouse() override;

    void Finalize() override;
    void Initialize() override;
    void Update() override;

    int X() const { return x_; }
    int Y() const { return y_; }
    int Z() const { return z_; }
    bool Button(int i) const { return i >= 0 && i < 4 && (buttons_[i] & 0x80); }

    // The owning form's mouse messages, gathered between two updates.
    void MouseMessage(const platform::Message& msg);

private:
    int x_ = 0, y_ = 0, z_ = 0;
    std::array<uint8_t, 4> buttons_{};
    int dx_ = 0, dy_ = 0;
    bool haveLast_ = false;
    int lastX_ = 0, lastY_ = 0;
    std::array<uint8_t, 4> held_{};
};
