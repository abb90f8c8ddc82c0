// System-folder-only library loading.
#include "platform/win32/DllSearch.h"

namespace zx {

void SecureDllSearchPath() {
    // Cannot fail on the Windows versions the program runs on; nothing to do if it did.
    static_cast<void>(::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32));
}

TUniqueModule LoadSystemLibrary(const wchar_t* fileName) {
    return TUniqueModule(::LoadLibraryExW(fileName, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
}

} // namespace zx
