// Owners for COM: interface pointers, BSTRs, VARIANTs and the apartment scope.
#pragma once

#include <objbase.h>
#include <oleauto.h>

#include <utility>

#include "UniqueResource.h"

namespace zx {

template <typename T>
class TComPtr {
public:
    TComPtr() noexcept = default;
    ~TComPtr() { reset(); }
    TComPtr(const TComPtr&) = delete;
    TComPtr& operator=(const TComPtr&) = delete;
    TComPtr(TComPtr&& other) noexcept : FPtr(std::exchange(other.FPtr, nullptr)) {}
    TComPtr& operator=(TComPtr&& other) noexcept {
        if (this != &other) {
            reset();
            FPtr = std::exchange(other.FPtr, nullptr);
        }
        return *this;
    }

    [[nodiscard]] T* get() const noexcept { return FPtr; }
    T* operator->() const noexcept { return FPtr; }
    [[nodiscard]] explicit operator bool() const noexcept { return FPtr != nullptr; }
    void reset() noexcept {
        if (T* old = std::exchange(FPtr, nullptr)) old->Release();
    }
    // For out-parameters (QueryInterface, CoCreateInstance, enumerators).
    [[nodiscard]] T** put() noexcept {
        reset();
        return &FPtr;
    }
    [[nodiscard]] void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

private:
    T* FPtr = nullptr;
};

struct TBstrTraits {
    using Type = BSTR;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type s) noexcept { ::SysFreeString(s); }
};
using TUniqueBstr = TUniqueResource<TBstrTraits>;

class TVariant {
public:
    TVariant() noexcept { ::VariantInit(&FValue); }
    ~TVariant() { ::VariantClear(&FValue); }
    TVariant(const TVariant&) = delete;
    TVariant& operator=(const TVariant&) = delete;

    VARIANT& get() noexcept { return FValue; }
    const VARIANT& get() const noexcept { return FValue; }
    VARIANT* put() noexcept {
        ::VariantClear(&FValue);
        return &FValue;
    }

private:
    VARIANT FValue;
};

// Enters COM on this thread for one scope and leaves it on every path. Only a
// successful entry (S_OK or S_FALSE) is balanced: leaving after a refused entry
// (RPC_E_CHANGED_MODE on a thread already in another apartment) would tear down
// the caller's own COM use.
class TComScope {
public:
    TComScope() noexcept : FEntered(SUCCEEDED(::CoInitialize(nullptr))) {}
    ~TComScope() {
        if (FEntered) ::CoUninitialize();
    }
    TComScope(const TComScope&) = delete;
    TComScope& operator=(const TComScope&) = delete;

private:
    bool FEntered;
};

} // namespace zx
