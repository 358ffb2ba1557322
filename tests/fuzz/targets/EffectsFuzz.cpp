// The stored form of an effect tree: any bytes load into a tree on a force-feedback device
// or are refused with "Invalid stream format" leaving the tree as it was; a loaded tree plays,
// stops and stores back to bytes that load to the same tree.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

#include "FakeInputHost.h"

namespace {

// Every name path of the tree is found again (the first equal child wins, so only check
// that the search ends).
void VisitNames(TForceFeedbackEffect& root, TForceFeedbackEffect& node, int budget) {
    for (int i = 0; i < node.Count() && budget > 0; ++i, --budget) {
        try {
            root.Find(node.Child(i)->Name());
        } catch (const EForceFeedbackEffectError&) {}
        VisitNames(root, *node.Child(i), budget / 2);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FakeInputHost& host = FakeInputHost::Get();
    TJoystick& joystick = *host.input->Joystick();
    TForceFeedbackEffects& tree = *joystick.Effects();
    const std::vector<uint8_t> bytes(data, data + size);
    const std::vector<uint8_t> before = tree.SaveToBytes();

    try {
        if (!joystick.ReadBinaryProperty("Effects", bytes)) std::abort();
    } catch (const EForceFeedbackEffectError& e) {
        if (std::strcmp(e.what(), "Invalid stream format") != 0) std::abort();
        if (tree.SaveToBytes() != before) std::abort();
        return 0;
    }

    const std::vector<uint8_t> saved = tree.SaveToBytes();
    tree.Start();
    tree.Playing();
    VisitNames(tree, tree, 64);
    tree.DeviceAcquired();
    tree.Stop();
    tree.DeviceFinalized();
    tree.DeviceInitialized();
    if (tree.SaveToBytes() != saved) std::abort();

    // The stored form reads back to the same tree, here on a device without force feedback.
    TForceFeedbackEffects& other = *host.input->Keyboard()->Effects();
    other.LoadFromBytes(saved);
    if (other.SaveToBytes() != saved) std::abort();
    other.Clear();
    tree.Clear();
    host.ForgetDeadEffects();
    return 0;
}
