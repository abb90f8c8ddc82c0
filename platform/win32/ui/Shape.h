// A filled rectangle shape: a child window that fills its whole area with one colour. The
// colour is kept in the window itself, so the shape belongs to its parent like any other
// control and paints on whoever created it. It takes no input: disabled, never a tab stop.
#pragma once

#include <windows.h>

#include "platform/ui/Color.h"

namespace zx {

// Creates the shape, visible or not, on top of its siblings. Throws TPlatformError when
// the window cannot be created.
HWND CreateShapeWindow(HWND parent, const RECT& place, TColor color, bool visible);

// Recolours the shape and repaints it when the colour changed.
void SetShapeColor(HWND shape, TColor color);

// The colour the shape paints with.
[[nodiscard]] TColor ShapeColor(HWND shape);

} // namespace zx
