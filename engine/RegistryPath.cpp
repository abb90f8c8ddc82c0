// Registry access by full path: split at the first backslash, open with create-if-missing, act.
#include "engine/RegistryPath.h"

#include <array>

namespace zx {

namespace {

// Indexed from 0: the predefined key is 0x80000000 plus the index.
constexpr std::array<std::u16string_view, 7> kRootNames = {
    u"HKEY_CLASSES_ROOT",     u"HKEY_CURRENT_USER",   u"HKEY_LOCAL_MACHINE", u"HKEY_USERS",
    u"HKEY_PERFORMANCE_DATA", u"HKEY_CURRENT_CONFIG", u"HKEY_DYN_DATA",
};

// KEY_READ | KEY_WRITE | KEY_WOW64_64KEY: a 32-bit build still reaches the native registry.
constexpr std::uint32_t kPathAccess = kKeyRead | kKeyWrite | kKeyWow64Key64;

// KEY_QUERY_VALUE | KEY_WOW64_64KEY: reading never creates a key.
constexpr std::uint32_t kReadAccess = kKeyQueryValue | kKeyWow64Key64;

// KEY_SET_VALUE | KEY_WOW64_64KEY: enough to delete a value of a key that exists.
constexpr std::uint32_t kExistingWriteAccess = kKeySetValue | kKeyWow64Key64;

enum TOpenMode { omCreate, omRead, omExistingWrite };

// Opens the key a full path names; nullptr when the root is unknown or the key cannot be
// opened (or created). A path without a backslash has no root name, so it opens nothing.
std::unique_ptr<IRegistryKey> OpenPath(IRegistry& registry, const std::u16string& path, TOpenMode mode) {
    const std::size_t split = path.find(u'\\');
    const std::u16string rootName = split == std::u16string::npos ? std::u16string() : path.substr(0, split);
    const std::u16string subKey = split == std::u16string::npos ? path : path.substr(split + 1);
    const TRootKey root = RootKeyFromName(rootName);
    if (root == 0) return nullptr;
    switch (mode) {
    case omCreate:
        return registry.CreateKey(root, subKey, kPathAccess);
    case omRead:
        return registry.OpenKey(root, subKey, kReadAccess);
    case omExistingWrite:
        return registry.OpenKey(root, subKey, kExistingWriteAccess);
    }
    return nullptr;
}

} // namespace

TRootKey RootKeyFromName(const std::u16string& name) noexcept {
    for (std::size_t index = 0; index < kRootNames.size(); ++index)
        if (kRootNames[index] == name) return kRootClassesRoot + static_cast<TRootKey>(index);
    return 0;
}

void WriteRegistryInteger(IRegistry& registry, const std::u16string& path, const std::u16string& valueName,
                          std::int32_t value) noexcept {
    try {
        if (auto key = OpenPath(registry, path, omCreate))
            (void)key->SetDword(valueName, static_cast<std::uint32_t>(value));
    } catch (...) {
        // the caller cannot tell success from failure, by design
    }
}

void DeleteRegistryValue(IRegistry& registry, const std::u16string& path, const std::u16string& valueName) noexcept {
    try {
        if (auto key = OpenPath(registry, path, omCreate)) (void)key->DeleteValue(valueName);
    } catch (...) {
        // a missing value or a refused delete ends quietly, like any other failure
    }
}

void DeleteExistingRegistryValue(IRegistry& registry, const std::u16string& path,
                                 const std::u16string& valueName) noexcept {
    try {
        if (auto key = OpenPath(registry, path, omExistingWrite)) (void)key->DeleteValue(valueName);
    } catch (...) {
        // as DeleteRegistryValue: nothing is reported
    }
}

std::optional<TRegValue> ReadRegistryValue(IRegistry& registry, const std::u16string& path,
                                           const std::u16string& valueName) noexcept {
    try {
        if (const auto key = OpenPath(registry, path, omRead)) return key->QueryValue(valueName);
    } catch (...) {
        // unreadable counts as absent
    }
    return std::nullopt;
}

} // namespace zx
