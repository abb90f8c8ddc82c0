// IRegistry over RegCreateKeyExW, RegOpenKeyExW, RegQueryValueExW, RegSetValueExW,
// RegDeleteValueW and RegFlushKey.
#include "platform/win32/Win32Registry.h"

#include <windows.h>

#include "platform/win32/Handles.h"
#include "platform/win32/WideText.h"

namespace zx {

namespace {

static_assert(kKeyRead == KEY_READ && kKeyWrite == KEY_WRITE && kKeyAllAccess == KEY_ALL_ACCESS);
static_assert(kKeyWow64Key64 == KEY_WOW64_64KEY && kKeyQueryValue == KEY_QUERY_VALUE && kKeySetValue == KEY_SET_VALUE);
static_assert(kRegSz == REG_SZ && kRegExpandSz == REG_EXPAND_SZ && kRegDword == REG_DWORD && kRegQword == REG_QWORD);
static_assert(kErrorBadPathname == ERROR_BAD_PATHNAME && kErrorInvalidHandle == ERROR_INVALID_HANDLE);

// Predefined keys are the sign-extended 32-bit values; anything else is no root of ours
// and must never be taken for a handle.
HKEY RootHandle(TRootKey root) {
    if (root < kRootClassesRoot || root > kRootDynData) return nullptr;
    return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(root)));
}

class TWin32Key final : public IRegistryKey {
public:
    explicit TWin32Key(TUniqueRegKey key) : FKey(std::move(key)) {}

    std::optional<TRegValue> QueryValue(const std::u16string& name) const override {
        // Size first, then the data; the value may grow in between, so ask again until it fits.
        DWORD type = 0;
        DWORD size = 0;
        if (::RegQueryValueExW(FKey.get(), Wide(name), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            return std::nullopt;
        for (;;) {
            TRegValue value{type, std::vector<std::uint8_t>(size)};
            DWORD got = size;
            const LSTATUS status = ::RegQueryValueExW(FKey.get(), Wide(name), nullptr, &type, value.Data.data(), &got);
            if (status == ERROR_MORE_DATA) {
                size = got;
                continue;
            }
            if (status != ERROR_SUCCESS) return std::nullopt;
            value.Type = type;
            value.Data.resize(got);
            return value;
        }
    }

    TRegResult SetValue(const std::u16string& name, const TRegValue& value) override {
        // For string types the system looks at the character just past the data and, when
        // it is a NUL, stores one more character than asked. Give it a non-NUL character
        // there, so that it neither reads past our buffer nor stores other bytes than ours.
        const bool isString = value.Type == REG_SZ || value.Type == REG_EXPAND_SZ || value.Type == REG_MULTI_SZ;
        std::vector<std::uint8_t> padded;
        const std::uint8_t* data = value.Data.data();
        if (isString) {
            padded.reserve(value.Data.size() + 2);
            padded.assign(value.Data.begin(), value.Data.end());
            padded.insert(padded.end(), {0xFF, 0xFF});
            data = padded.data();
        }
        return static_cast<TRegResult>(
            ::RegSetValueExW(FKey.get(), Wide(name), 0, value.Type, data, static_cast<DWORD>(value.Data.size())));
    }

    TRegResult DeleteValue(const std::u16string& name) override {
        return static_cast<TRegResult>(::RegDeleteValueW(FKey.get(), Wide(name)));
    }

    void Flush() noexcept override { (void)::RegFlushKey(FKey.get()); }

private:
    TUniqueRegKey FKey;
};

std::unique_ptr<IRegistryKey> Result(LSTATUS status, TUniqueRegKey key, TRegResult* error) {
    if (error) *error = static_cast<TRegResult>(status);
    if (status != ERROR_SUCCESS) return nullptr;
    return std::make_unique<TWin32Key>(std::move(key));
}

} // namespace

std::unique_ptr<IRegistryKey> TWin32Registry::CreateKey(TRootKey root, const std::u16string& subKey,
                                                        std::uint32_t access, TRegResult* error) {
    const HKEY parent = RootHandle(root);
    if (!parent) return Result(ERROR_INVALID_HANDLE, {}, error);
    TUniqueRegKey key;
    const LSTATUS status = ::RegCreateKeyExW(parent, Wide(subKey), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                                             key.put(), nullptr);
    return Result(status, std::move(key), error);
}

std::unique_ptr<IRegistryKey> TWin32Registry::OpenKey(TRootKey root, const std::u16string& subKey, std::uint32_t access,
                                                      TRegResult* error) {
    const HKEY parent = RootHandle(root);
    if (!parent) return Result(ERROR_INVALID_HANDLE, {}, error);
    TUniqueRegKey key;
    const LSTATUS status = ::RegOpenKeyExW(parent, Wide(subKey), 0, access, key.put());
    return Result(status, std::move(key), error);
}

} // namespace zx
