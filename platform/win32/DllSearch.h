// Loading system libraries from the system folder only. The main program runs
// elevated: a library found by bare name in its own folder would run with those rights.
#pragma once

#include "platform/win32/Handles.h"

namespace zx {

// Restricts the process's library search to the system folder. Call first thing at the
// program's entry, before any library is loaded by name.
void SecureDllSearchPath();

// Loads a library by file name from the system folder, never from the program's folder
// or the working directory. Empty when it is not there.
[[nodiscard]] TUniqueModule LoadSystemLibrary(const wchar_t* fileName);

} // namespace zx
