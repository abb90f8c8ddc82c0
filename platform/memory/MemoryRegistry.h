// A registry kept in memory with the rules of the Windows registry, for running and
// testing the portable layer where there is none. Tests can deny access to keys, make
// them read-only and inspect every write and delete in the order it was made.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Registry.h"

namespace zx {

// One attempted change, recorded whether or not it succeeded.
enum TRegOperationKind : std::uint8_t { roSetValue, roDeleteValue };

struct TRegOperation {
    TRegOperationKind Kind = roSetValue;
    TRootKey Root = 0;
    std::u16string Key;  // the subkey path as the caller spelled it when opening the key
    std::u16string Name; // the value name as the caller spelled it
    TRegValue Value;     // what was stored (roSetValue only)
    TRegResult Result = kRegSuccess;

    bool operator==(const TRegOperation&) const = default;
};

// Rules kept:
// - key and value names are compared without regard to case (simple upper-casing of
//   ASCII, Latin-1, Greek and Cyrillic letters); the first spelling is kept;
// - value types and bytes are kept exactly; setting replaces a value of any type;
// - CreateKey creates every missing key of the chain; OpenKey fails with
//   kErrorFileNotFound when a key is missing;
// - the roots are kRootClassesRoot .. kRootDynData, each its own tree; any other root
//   fails with kErrorInvalidHandle; a path starting with a backslash fails with
//   kErrorBadPathname, while a trailing or doubled backslash is ignored;
// - the view flag kKeyWow64Key64 is accepted and changes nothing (there is one view);
// - QueryValue needs kKeyQueryValue and SetValue/DeleteValue need kKeySetValue in the
//   rights the key was opened with, as on Windows.
// Keys stay valid after the registry is destroyed (they share its store).
class TMemoryRegistry final : public IRegistry {
public:
    TMemoryRegistry();
    ~TMemoryRegistry() override;
    TMemoryRegistry(const TMemoryRegistry&) = delete;
    TMemoryRegistry& operator=(const TMemoryRegistry&) = delete;

    [[nodiscard]] std::unique_ptr<IRegistryKey> CreateKey(TRootKey root, const std::u16string& subKey,
                                                          std::uint32_t access, TRegResult* error = nullptr) override;
    [[nodiscard]] std::unique_ptr<IRegistryKey> OpenKey(TRootKey root, const std::u16string& subKey,
                                                        std::uint32_t access, TRegResult* error = nullptr) override;

    // Simulate missing rights. The key need not exist yet; a mark covers the key and
    // every key below it.
    // Denied: opening or creating it fails with kErrorAccessDenied (keys already open
    // keep working, as on Windows, where rights are checked when a key is opened).
    void DenyAccess(TRootKey root, const std::u16string& subKey);
    // Read-only: opening succeeds and values can be read, but creating a missing key,
    // setting and deleting values fail with kErrorAccessDenied, also through keys
    // opened before the mark.
    void MakeReadOnly(TRootKey root, const std::u16string& subKey);

    // Inspection for tests; none of these is recorded in the journal or checks rights.
    [[nodiscard]] bool KeyExists(TRootKey root, const std::u16string& subKey) const;
    [[nodiscard]] std::optional<TRegValue> Value(TRootKey root, const std::u16string& subKey,
                                                 const std::u16string& name) const;
    // Value names of an existing key in the order they were first set (empty when absent).
    [[nodiscard]] std::vector<std::u16string> ValueNames(TRootKey root, const std::u16string& subKey) const;
    // Every SetValue and DeleteValue made through keys of this registry, in order.
    [[nodiscard]] const std::vector<TRegOperation>& Journal() const;
    void ClearJournal();

    struct TStore;

private:
    std::shared_ptr<TStore> FStore;
};

} // namespace zx
