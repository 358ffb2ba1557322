// For tests only: a surface that refuses to come back, as a display that stays lost.
#pragma once

#include "engine/Surface.h"

struct TDirectDrawSurfaceTestAccess {
    static void SetRestoreFails(TDirectDrawSurface& surface, bool fails) { surface.restoreFails_ = fails; }
};
