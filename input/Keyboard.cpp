// The keyboard device and its bindings.
#include "input/Keyboard.h"

#include <initializer_list>

#include "input/InputComponent.h"
#include "platform/KeyNames.h"
#include "platform/Platform.h"
#include "platform/Settings.h"

namespace {

platform::IWindowSystem* Ws() { return platform::Current().Windows; }

// PC set-1 scan code (extended + 0x80) to virtual-key code. Several keys share a code on
// purpose (the apostrophe gives the Right arrow's 39, keypad * gives 42, not 106).
const std::array<uint8_t, 256>& ScanTable() {
    static const std::array<uint8_t, 256> table = [] {
        std::array<uint8_t, 256> t{};
        auto put = [&](std::initializer_list<int> scans, int vk) {
            for (int s : scans) t[s] = static_cast<uint8_t>(vk);
        };
        auto run = [&](int firstScan, std::initializer_list<int> vks) {
            int s = firstScan;
            for (int vk : vks) t[s++] = static_cast<uint8_t>(vk);
        };
        put({1}, 27);
        for (int i = 0; i < 9; ++i) t[2 + i] = static_cast<uint8_t>(49 + i);
        put({11}, 48);
        put({13}, 61);
        run(14, {8, 9});
        run(16, {81, 87, 69, 82, 84, 89, 85, 73, 79, 80});
        put({26, 219}, 91);
        put({27, 221}, 93);
        put({28, 156}, 13);
        put({29, 157}, 17);
        run(30, {65, 83, 68, 70, 71, 72, 74, 75, 76});
        put({39}, 59);
        put({40, 205}, 39);
        put({42, 54}, 16);
        put({43, 220}, 92);
        run(44, {90, 88, 67, 86, 66, 78, 77});
        put({51}, 44);
        put({52, 211}, 46);
        put({53}, 47);
        put({55}, 42);
        put({56, 184}, 18);
        put({57}, 32);
        put({58}, 20);
        for (int i = 0; i < 10; ++i) t[59 + i] = static_cast<uint8_t>(112 + i);
        run(69, {144, 145});
        run(71, {103, 104, 105});
        put({74}, 109);
        run(75, {100, 101, 102});
        put({78}, 107);
        run(79, {97, 98, 99, 96});
        put({83}, 110);
        run(87, {122, 123});
        put({181}, 111);
        run(199, {36, 38, 33});
        put({203}, 37);
        run(207, {35, 40, 34, 45});
        return t;
    }();
    return table;
}

}  // namespace

TKeyboard::TKeyAssignList TKeyboard::DefaultAssigns() {
    TKeyAssignList a{};
    a[InputUp] = {75, 38, 104};
    a[InputDown] = {74, 40, 98};
    a[InputLeft] = {72, 37, 100};
    a[InputRight] = {76, 39, 102};
    a[InputButton1] = {90, 32, 0};
    a[InputButton2] = {88, 13, 0};
    a[InputButton9] = {113, 0, 0};
    return a;
}

TKeyboard::TKeyAssignList TKeyboard::GameAssigns() {
    TKeyAssignList a{};
    a[InputUp] = {87, 38, 104};
    a[InputDown] = {83, 40, 98};
    a[InputLeft] = {65, 37, 100};
    a[InputRight] = {68, 39, 102};
    a[InputButton1] = {90, 32, 106};
    a[InputButton2] = {88, 16, 0};
    a[InputButton3] = {9, 0, 0};
    a[InputButton9] = {113, 0, 0};
    return a;
}

TKeyboard::TKeyAssignList TKeyboard::GameAssigns(const platform::TSettings& settings) {
    TKeyAssignList a = GameAssigns();
    for (const auto& b : platform::BoundStates) {
        std::vector<int> codes;
        // The settings hold checked lists only; a list that does not parse keeps the table's keys.
        if (!platform::ParseKeyList(settings.Get(b.Key), codes).empty()) continue;
        TKeyAssign keys{};
        for (size_t i = 0; i < codes.size() && i < keys.size(); ++i) keys[i] = codes[i];
        a[b.State] = keys;
    }
    return a;
}

TKeyboard::TKeyboard(TCustomDXInput* owner) : TCustomInput(owner), assigns_(DefaultAssigns()) {}

TKeyboard::~TKeyboard() { TKeyboard::Finalize(); }

int TKeyboard::ScanCodeToVirtualKey(int scanCode) {
    if (scanCode < 0 || scanCode > 255) return 0;
    return ScanTable()[scanCode];
}

void TKeyboard::Finalize() {
    TCustomInput::Finalize();
    keyTable_.fill(0);
}

void TKeyboard::Initialize() {
    Finalize();
    if (!enabled_) return;
    if (owner_->DirectInput()) {
        if (!Ws()) return;  // no keyboard device to be had: this device stays silent
        device_ = true;
    }
    numButtons_ = 32;
    TCustomInput::Initialize();
}

void TKeyboard::Update() {
    keyTable_.fill(0);
    states_.Clear();
    if (!initialized_ || !InputAllowed()) return;
    if (device_) {
        uint8_t sc[256] = {};
        if (BeginStateRead() && Ws()) Ws()->GetScanCodeState(sc);
        for (int i = 0; i < 256; ++i)
            if (sc[i] & 0x80) keyTable_[ScanTable()[i]] = 128;
    } else if (Ws()) {
        Ws()->GetKeyboardState(keyTable_.data());
    }
    for (int n = 0; n < InputStateCount; ++n) {
        for (int32_t key : assigns_[n]) {
            if (Keys(key)) {
                states_.Include(static_cast<TInputState>(n));
                break;
            }
        }
    }
}

std::vector<uint8_t> TKeyboard::SaveAssigns() const {
    std::vector<uint8_t> out;
    out.reserve(AssignsSize);
    for (const auto& a : assigns_)
        for (int32_t k : a) {
            uint32_t u = static_cast<uint32_t>(k);
            for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(u >> (8 * i)));
        }
    return out;
}

void TKeyboard::LoadAssigns(const std::vector<uint8_t>& data) {
    // A short table is refused whole rather than read half-way.
    if (data.size() < AssignsSize) throw EDXInputError("Stream read error");
    size_t p = 0;
    for (auto& a : assigns_)
        for (int32_t& k : a) {
            uint32_t u = 0;
            for (int i = 0; i < 4; ++i) u |= uint32_t(data[p++]) << (8 * i);
            k = static_cast<int32_t>(u);
        }
}

bool TKeyboard::ReadBinaryProperty(const std::string& name, const std::vector<uint8_t>& data) {
    if (name == "Assigns" || name == "Aissgns") {
        LoadAssigns(data);
        return true;
    }
    return TCustomInput::ReadBinaryProperty(name, data);
}

void TKeyboard::WriteBinaryProperties(TBinaryProperties& out) const {
    TCustomInput::WriteBinaryProperties(out);
    out.emplace_back("Assigns", SaveAssigns());
}
