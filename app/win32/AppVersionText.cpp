#include "app/win32/AppVersionText.h"

#include "kit/VersionText.h"
#include "platform/win32/AppVersion.h"

namespace zx {

std::u16string GetAppVersion(const std::u16string& format) {
    return FormatVersionOrZero(format, ReadAppVersion());
}

} // namespace zx
