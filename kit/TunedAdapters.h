// The adapters Run has tuned since the last Stop, kept among the user's settings so that
// Stop reaches them even after another adapter has become the active one.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Registry.h"
#include "platform/common/InterfaceGuid.h"

namespace zx {

// The most entries the list keeps: far more adapters than one machine changes between a
// Run and a Stop.
inline constexpr std::size_t kMaxTunedAdapters = 64;

// The stored text's entries, separated by ";": only interface GUIDs, each once (letter
// case ignored), the last kMaxTunedAdapters of them in stored order. Everything else is
// dropped without a word.
[[nodiscard]] std::vector<std::u16string> ParseTunedAdapters(std::u16string_view joined);

// The entries joined by ";", as ParseTunedAdapters reads them back.
[[nodiscard]] std::u16string JoinTunedAdapters(const std::vector<std::u16string>& guids);

// The list as one value of the settings key HKEY_CURRENT_USER\Software\<path>. The key
// belongs to the user, so any of the user's programs can have written the value, and the
// elevated Stop turns its entries into machine key paths: it is read as untrusted text.
// Create one per use, like TConfig; nothing here throws except for lack of memory.
class TTunedAdapters {
public:
    TTunedAdapters(IRegistry& registry, std::u16string settingsPath);

    // The valid entries (ParseTunedAdapters); none when the value is missing or is not text.
    [[nodiscard]] std::vector<std::u16string> Read() const;
    // Adds `guid` at the end unless it is listed already or is no interface GUID; the
    // oldest entries make way beyond kMaxTunedAdapters. Only valid entries are written back.
    void Remember(const std::u16string& guid);
    // Empties the list (written only when it holds something).
    void Forget();

private:
    IRegistry& FRegistry;
    std::u16string FSettingsPath;
};

} // namespace zx
