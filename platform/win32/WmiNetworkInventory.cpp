// WMI through its native client interfaces: the same locator, namespace, queries and
// property reads as the scripting route, without late binding.
#include "platform/win32/WmiNetworkInventory.h"

#include <windows.h>
#include <wbemidl.h>

#include <cstdint>
#include <string>

#include "platform/PlatformError.h"
#include "platform/win32/ComPtr.h"
#include "platform/win32/LocalAddress.h"
#include "platform/win32/WideText.h"
#include "platform/common/NumberText.h"

namespace zx {
namespace {

constexpr const wchar_t* kNamespace = L"\\\\localhost\\root\\CIMV2";
constexpr const wchar_t* kAdapterQuery =
    L"SELECT * FROM Win32_NetworkAdapter WHERE (NetConnectionStatus = 2 OR NetConnectionStatus = 9) "
    L"AND PhysicalAdapter = True";
constexpr const wchar_t* kConfigurationQuery = L"SELECT * FROM Win32_NetworkAdapterConfiguration WHERE Index = ";

std::uint32_t Code(HRESULT result) {
    return static_cast<std::uint32_t>(result);
}

// The scripting locator impersonates by default; a native proxy must be told to.
void AllowImpersonation(IUnknown* proxy) {
    static_cast<void>(::CoSetProxyBlanket(proxy, RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                                          RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE));
}

HRESULT RunQuery(IWbemServices& services, const std::wstring& query, TComPtr<IEnumWbemClassObject>& result) {
    const TUniqueBstr language(::SysAllocString(L"WQL"));
    const TUniqueBstr text(::SysAllocString(query.c_str()));
    if (!language || !text) return E_OUTOFMEMORY;
    const HRESULT hr = services.ExecQuery(language.get(), text.get(),
                                          WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY, nullptr, result.put());
    if (SUCCEEDED(hr) && !result) return E_POINTER;
    if (SUCCEEDED(hr)) AllowImpersonation(result.get());
    return hr;
}

// The next object of a walk; any answer but S_OK ends the walk.
TComPtr<IWbemClassObject> NextObject(IEnumWbemClassObject& objects) {
    TComPtr<IWbemClassObject> object;
    ULONG returned = 0;
    if (objects.Next(static_cast<LONG>(WBEM_INFINITE), 1, object.put(), &returned) != S_OK || returned != 1)
        object.reset();
    return object;
}

// Text of a variant; false when it cannot be taken as text.
bool VariantText(const VARIANT& value, std::u16string& text) {
    if (value.vt == VT_BSTR) {
        text = FromWide(value.bstrVal, ::SysStringLen(value.bstrVal));
        return true;
    }
    TVariant converted;
    if (FAILED(::VariantChangeType(converted.put(), const_cast<VARIANT*>(&value), 0, VT_BSTR))) return false;
    text = FromWide(converted.get().bstrVal, ::SysStringLen(converted.get().bstrVal));
    return true;
}

TPropertyText ReadText(IWbemClassObject& object, const wchar_t* property) {
    TVariant value;
    if (FAILED(object.Get(property, 0, value.put(), nullptr, nullptr))) return {TPropertyText::psFailed, {}};
    if (value.get().vt == VT_NULL || value.get().vt == VT_EMPTY) return {TPropertyText::psNull, {}};
    TPropertyText result{TPropertyText::psText, {}};
    if (!VariantText(value.get(), result.Text)) result.State = TPropertyText::psFailed;
    return result;
}

// WMI hands an unsigned 32-bit property over as VT_I4; read it back as unsigned.
TPropertyText ReadIndex(IWbemClassObject& object) {
    TVariant value;
    if (FAILED(object.Get(L"Index", 0, value.put(), nullptr, nullptr))) return {TPropertyText::psFailed, {}};
    const VARIANT& v = value.get();
    if (v.vt == VT_I4 || v.vt == VT_UI4) {
        return {TPropertyText::psText, DecimalText(static_cast<std::uint32_t>(v.ulVal))};
    }
    return ReadText(object, L"Index");
}

// Every element of a one-dimensional array as text, from the lower to the upper bound.
std::vector<std::u16string> ArrayTexts(SAFEARRAY* array) {
    LONG lower = 0, upper = -1;
    VARTYPE type = VT_EMPTY;
    HRESULT hr = ::SafeArrayGetVartype(array, &type);
    if (SUCCEEDED(hr)) hr = ::SafeArrayGetLBound(array, 1, &lower);
    if (SUCCEEDED(hr)) hr = ::SafeArrayGetUBound(array, 1, &upper);
    if (FAILED(hr)) throw TPlatformError("IPAddress", Code(hr));
    std::vector<std::u16string> texts;
    for (LONG i = lower; i <= upper; ++i) {
        TVariant element;
        if (type == VT_VARIANT) {
            hr = ::SafeArrayGetElement(array, &i, element.put());
        } else {
            VARIANT& slot = *element.put();
            slot.vt = type;
            hr = ::SafeArrayGetElement(array, &i, &slot.bstrVal); // the union's first byte, any type
            if (FAILED(hr)) slot.vt = VT_EMPTY;
        }
        if (FAILED(hr)) throw TPlatformError("IPAddress", Code(hr));
        std::u16string text;
        if (!VariantText(element.get(), text)) throw TPlatformError("IPAddress", Code(DISP_E_TYPEMISMATCH));
        texts.push_back(std::move(text));
    }
    return texts;
}

TAddressProperty ReadAddresses(IWbemClassObject& object) {
    TVariant value;
    const HRESULT hr = object.Get(L"IPAddress", 0, value.put(), nullptr, nullptr);
    if (FAILED(hr)) throw TPlatformError("IPAddress", Code(hr));
    const VARIANT& v = value.get();
    if (v.vt == VT_NULL || v.vt == VT_EMPTY) return {TAddressProperty::akNull, {}};
    if (v.vt & VT_ARRAY) {
        SAFEARRAY* array = (v.vt & VT_BYREF) ? *v.pparray : v.parray;
        if (!array) return {TAddressProperty::akNull, {}};
        return {TAddressProperty::akArray, ArrayTexts(array)};
    }
    std::u16string text;
    VariantText(v, text);
    return {TAddressProperty::akText, {std::move(text)}};
}

class TWmiConfigurationWalk final : public IConfigurationWalk {
public:
    explicit TWmiConfigurationWalk(TComPtr<IEnumWbemClassObject> objects) : FObjects(std::move(objects)) {}

    std::optional<TConfigurationRecord> NextConfiguration() override {
        const TComPtr<IWbemClassObject> object = NextObject(*FObjects.get());
        if (!object) return std::nullopt;
        return TConfigurationRecord{ReadAddresses(*object.get())};
    }

private:
    TComPtr<IEnumWbemClassObject> FObjects;
};

class TWmiAdapterWalk final : public IAdapterWalk {
public:
    // Connects and runs the adapter query; false when any step fails.
    bool Open() {
        TComPtr<IWbemLocator> locator;
        if (FAILED(::CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                                      locator.put_void()))) {
            return false;
        }
        const TUniqueBstr resource(::SysAllocString(kNamespace));
        if (!resource) return false;
        // No user name and no password: the caller's own identity.
        if (FAILED(locator->ConnectServer(resource.get(), nullptr, nullptr, nullptr, 0, nullptr, nullptr,
                                          FServices.put())) ||
            !FServices) {
            return false;
        }
        AllowImpersonation(FServices.get());
        return SUCCEEDED(RunQuery(*FServices.get(), kAdapterQuery, FAdapters));
    }

    std::optional<TAdapterRecord> NextAdapter() override {
        const TComPtr<IWbemClassObject> object = NextObject(*FAdapters.get());
        if (!object) return std::nullopt;
        TAdapterRecord record;
        record.Index = ReadIndex(*object.get());
        record.Name = ReadText(*object.get(), L"Name");
        record.GUID = ReadText(*object.get(), L"GUID");
        return record;
    }

    std::unique_ptr<IConfigurationWalk> QueryConfigurations(const std::u16string& index) override {
        TComPtr<IEnumWbemClassObject> objects;
        const HRESULT hr = RunQuery(*FServices.get(), kConfigurationQuery + std::wstring(Wide(index)), objects);
        if (FAILED(hr)) throw TPlatformError("ExecQuery", Code(hr));
        return std::make_unique<TWmiConfigurationWalk>(std::move(objects));
    }

private:
    // Declared first so that it is destroyed last, after every WMI object below.
    TComScope FApartment;
    TComPtr<IWbemServices> FServices;
    TComPtr<IEnumWbemClassObject> FAdapters;
};

} // namespace

std::u16string TWmiNetworkInventory::GetLocalIPAddress() {
    return zx::GetLocalIPAddress();
}

std::unique_ptr<IAdapterWalk> TWmiNetworkInventory::OpenAdapterWalk() {
    auto walk = std::make_unique<TWmiAdapterWalk>();
    if (!walk->Open()) return nullptr;
    return walk;
}

} // namespace zx
