// The table surface the main window places: one name, so the window does not care which.
#pragma once

#include "platform/win32/PlainSurface.h"

namespace norvale::win32 {

using TableSurfaceWindow = PlainSurface;

}  // namespace norvale::win32
