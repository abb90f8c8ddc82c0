// The accessible object (MSAA IAccessible) of a window of ours: what a screen reader
// asks through WM_GETOBJECT (OBJID_CLIENT). Role, name, state and default action come
// from the window's reader at the moment they are asked; where the window, its parent
// and its neighbours are comes from the system's own object for the window. A window
// that has child windows lists only the visible ones as its children, so hidden controls
// are not in the tree. The default action is a click (BM_CLICK, posted: the caller does
// not wait for what the click starts).
//
// oleacc.dll is delay-loaded: it loads when a reader first asks, never at start-up.
#pragma once

#include <windows.h>

#include <functional>

#include "platform/ui/Accessibility.h"

namespace zx {

// What a window's accessible object reports, read afresh on every question.
using TAccessibleReader = std::function<TAccessibleDescription()>;

// The answer to WM_GETOBJECT(OBJID_CLIENT) for `window` (whose reader the object looks
// up through TWindowBase::FromHandle on every call): an LRESULT from LresultFromObject,
// or 0 when it cannot be made (COM not entered on this thread yet, oleacc missing), so
// that the system's default object answers instead.
[[nodiscard]] LRESULT AnswerAccessibleObject(HWND window, WPARAM flags) noexcept;

// The interface identifier, defined here: mingw's oleacc import library exports
// IID_IAccessible as a function stub, which oleacc would take for the GUID.
inline constexpr GUID kIidAccessible = {0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

} // namespace zx
