// The keyboard device and its bindings: three keys per input state, read as PC set-1 scan
// codes on the direct path or as the window system's virtual-key state.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "input/InputDevice.h"
#include "input/InputStates.h"

namespace platform {
class TSettings;
}

class TKeyboard : public TCustomInput {
public:
    using TKeyAssign = std::array<int32_t, 3>;
    using TKeyAssignList = std::array<TKeyAssign, InputStateCount>;
    static constexpr size_t AssignsSize = sizeof(int32_t) * 3 * InputStateCount;  // 432

    explicit TKeyboard(TCustomDXInput* owner);
    ~TKeyboard() override;

    void Finalize() override;
    void Initialize() override;
    void Update() override;

    bool Keys(int code) const { return code >= 1 && code <= 255 && (keyTable_[code] & 0x80); }
    const std::array<uint8_t, 256>& KeyTable() const { return keyTable_; }
    TKeyAssignList& Assigns() { return assigns_; }
    const TKeyAssignList& Assigns() const { return assigns_; }
    static TKeyAssignList DefaultAssigns();  // what the constructor fills in
    static TKeyAssignList GameAssigns();     // this program's bindings
    // This program's bindings with the keys of the settings file in place of those of the
    // actions it names; the defaults of the file give GameAssigns() exactly.
    static TKeyAssignList GameAssigns(const platform::TSettings& settings);

    // The stored table: 432 bytes, little-endian, state 0 first.
    std::vector<uint8_t> SaveAssigns() const;
    void LoadAssigns(const std::vector<uint8_t>& data);  // EDXInputError when too short

    bool ReadBinaryProperty(const std::string& name, const std::vector<uint8_t>& data) override;
    void WriteBinaryProperties(TBinaryProperties& out) const override;

    // Virtual-key code of a PC set-1 scan code (extended keys + 0x80); 0 when none.
    static int ScanCodeToVirtualKey(int scanCode);

private:
    std::array<uint8_t, 256> keyTable_{};
    TKeyAssignList assigns_{};
};
