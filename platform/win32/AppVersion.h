// File version resources: the running program's own version and any file's.
#pragma once

#include <string>

namespace zx {

// Four numbers of the file's fixed version information in `format` (only "%d"/"%u"
// are filled, in order); "0.0.0.0" when the file has no version resource.
std::u16string GetFileVersionText(const std::u16string& path, const std::u16string& format = u"%d.%d.%d.%d");

// The same for the running program's own file.
std::u16string GetAppVersion(const std::u16string& format);

} // namespace zx
