// The system palette.
#include "engine/Colors.h"

namespace {

TRGBQuads MakeSystemPalette() {
    TRGBQuads p{};
    const TRGBQuad low[10] = {RGBQuad(0, 0, 0),      RGBQuad(128, 0, 0),     RGBQuad(0, 128, 0),
                              RGBQuad(128, 128, 0),  RGBQuad(0, 0, 128),     RGBQuad(128, 0, 128),
                              RGBQuad(0, 128, 128),  RGBQuad(192, 192, 192), RGBQuad(192, 220, 192),
                              RGBQuad(166, 202, 240)};
    const TRGBQuad high[10] = {RGBQuad(255, 251, 240), RGBQuad(160, 160, 164), RGBQuad(128, 128, 128),
                               RGBQuad(255, 0, 0),     RGBQuad(0, 255, 0),     RGBQuad(255, 255, 0),
                               RGBQuad(0, 0, 255),     RGBQuad(255, 0, 255),   RGBQuad(0, 255, 255),
                               RGBQuad(255, 255, 255)};
    for (int i = 0; i < 10; ++i) {
        p[i] = low[i];
        p[246 + i] = high[i];
    }
    return p;
}

}  // namespace

const TRGBQuads& SystemPalette() {
    static const TRGBQuads p = MakeSystemPalette();
    return p;
}
