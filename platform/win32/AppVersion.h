// File version resources: the running program's own version and any file's.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace zx {

// Major, minor, build, revision.
using TFileVersion = std::array<std::uint16_t, 4>;

// The four numbers of the file's fixed version information; nothing when the file has
// no version resource that can be read. Never throws but for lack of memory.
[[nodiscard]] std::optional<TFileVersion> ReadFileVersion(const std::u16string& path);

// The same for the running program's own file.
[[nodiscard]] std::optional<TFileVersion> ReadAppVersion();

} // namespace zx
