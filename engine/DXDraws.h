// Display component, drawing surfaces and the named image list the game draws from: one
// include for the whole drawing unit.
#pragma once

#include "engine/Canvas.h"
#include "engine/Colors.h"
#include "engine/DXClass.h"
#include "engine/Display.h"
#include "engine/DisplayDrivers.h"
#include "engine/DisplayModes.h"
#include "engine/DisplayOptions.h"
#include "engine/DrawErrors.h"
#include "engine/Forms.h"
#include "engine/ImageList.h"
#include "engine/Surface.h"
