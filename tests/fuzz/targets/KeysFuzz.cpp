// The stored key-binding table: 432 or more bytes load as 36 × 3 little-endian numbers and
// store back to the same first 432; fewer are refused with the table left as it was.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "FakeInputHost.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    static const char* const kNames[] = {"Assigns", "Aissgns", "Effects", "Other"};
    const std::string name = kNames[data[0] % 4];
    const std::vector<uint8_t> bytes(data + 1, data + size);

    TKeyboard& keyboard = *FakeInputHost::Get().input->Keyboard();
    keyboard.Assigns() = TKeyboard::GameAssigns();
    const TKeyboard::TKeyAssignList before = keyboard.Assigns();
    bool taken = false;
    try {
        taken = keyboard.ReadBinaryProperty(name, bytes);
    } catch (const EDXInputError&) {
        if (bytes.size() >= TKeyboard::AssignsSize || keyboard.Assigns() != before) std::abort();
        return 0;
    } catch (const EForceFeedbackEffectError&) {
        if (name != "Effects") std::abort();
        return 0;
    }
    if (taken != (name != "Other")) std::abort();
    if (name == "Assigns" || name == "Aissgns") {
        const std::vector<uint8_t> saved = keyboard.SaveAssigns();
        if (saved.size() != TKeyboard::AssignsSize || !std::equal(saved.begin(), saved.end(), bytes.begin()))
            std::abort();
    } else if (keyboard.Assigns() != before) {
        std::abort();
    }
    keyboard.Effects()->Clear();
    return 0;
}
