// Wine keeps no file owners: it reports every file and folder as the current user's,
// even those made with Administrators as owner. Tests (and the test copies of the main
// program) that need backups written under Wine judge owners by this instead; the
// product's judgement (Administrators or SYSTEM) only Windows can show.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "platform/win32/Handles.h"

namespace zx::test {

// True when the owner is this process's own user: what Wine reports for every file.
inline bool IsWineReportedOwner(void* ownerSid) {
    HANDLE raw = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &raw)) return false;
    const TUniqueHandle token(raw);
    DWORD size = 0;
    (void)::GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    std::vector<std::uint8_t> buffer(size);
    if (size == 0 || !::GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size)) return false;
    return ::EqualSid(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, ownerSid) != FALSE;
}

} // namespace zx::test
