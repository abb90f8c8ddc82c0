// One owner type for every Win32 handle kind: a closing function and an invalid value.
#pragma once

#include <utility>

namespace zx {

// Traits: `using Type`, `static Type Invalid()`, `static void Close(Type)`.
template <typename Traits>
class TUniqueResource {
public:
    using Type = typename Traits::Type;

    TUniqueResource() noexcept = default;
    explicit TUniqueResource(Type value) noexcept : FValue(value) {}
    ~TUniqueResource() { reset(); }

    TUniqueResource(const TUniqueResource&) = delete;
    TUniqueResource& operator=(const TUniqueResource&) = delete;
    TUniqueResource(TUniqueResource&& other) noexcept : FValue(other.release()) {}
    TUniqueResource& operator=(TUniqueResource&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    [[nodiscard]] Type get() const noexcept { return FValue; }
    [[nodiscard]] explicit operator bool() const noexcept { return FValue != Traits::Invalid(); }

    [[nodiscard]] Type release() noexcept { return std::exchange(FValue, Traits::Invalid()); }

    void reset(Type value = Traits::Invalid()) noexcept {
        const Type old = std::exchange(FValue, value);
        if (old != Traits::Invalid()) Traits::Close(old);
    }

    // For out-parameters: closes what is held, then hands out the slot.
    [[nodiscard]] Type* put() noexcept {
        reset();
        return &FValue;
    }

private:
    Type FValue = Traits::Invalid();
};

} // namespace zx
