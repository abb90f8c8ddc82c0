// The Windows registry through advapi32, behind the portable IRegistry interface.
#pragma once

#include "platform/Registry.h"

namespace zx {

// Keys are opened with exactly the rights asked for, view flag included; every Win32
// failure comes back as its error code (or nullopt for a query), nothing throws except
// for lack of memory.
class TWin32Registry final : public IRegistry {
public:
    [[nodiscard]] std::unique_ptr<IRegistryKey> CreateKey(TRootKey root, const std::u16string& subKey,
                                                          std::uint32_t access, TRegResult* error = nullptr) override;
    [[nodiscard]] std::unique_ptr<IRegistryKey> OpenKey(TRootKey root, const std::u16string& subKey,
                                                        std::uint32_t access, TRegResult* error = nullptr) override;
};

} // namespace zx
