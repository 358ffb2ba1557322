// The display options' text form.
#include "engine/DisplayOptions.h"

std::string ToString(TDXDrawOptions options) {
    static const char* names[] = {
        "doFullScreen",   "doNoWindowChange", "doAllowReboot", "doWaitVBlank",   "doAllowPalette256",
        "doSystemMemory", "doStretch",        "doCenter",      "doFlip",         "do3D",
        "doDirectX7Mode", "doRetainedMode",   "doHardware",    "doSelectDriver", "doZBuffer"};
    std::string s = "[";
    for (int i = 0; i <= doZBuffer; ++i) {
        if (!options.Contains(static_cast<TDXDrawOption>(i))) continue;
        if (s.size() > 1) s += ", ";
        s += names[i];
    }
    return s + "]";
}
