// A stand-in for the system's network shell ("netshell.dll"), which Wine lacks: its
// connection manager, installed in the test prefix's system folder and registered as the
// connection-manager class (tests/wine/netshell/with-netshell.sh). It lists a decoy
// connection first and then the test adapter, whose GUID it is given, in the other letter
// case. Steered by the environment, which reaches every program of the test:
//   ZX_NETSHELL_ADAPTER   the adapter's GUID in braces
//   ZX_NETSHELL_LOG       a file to which every call is appended as "<tick ms> <pid> <what> <name>"
//   ZX_NETSHELL_DELAY_MS  how long each Connect and Disconnect takes (default 0)
#include <windows.h>
#include <netcon.h>

#include <atomic>
#include <cwctype>
#include <string>

namespace {

constexpr CLSID kConnectionManagerClass = {
    0xBA126AD1, 0x2166, 0x11D1, {0xB1, 0xD0, 0x00, 0x80, 0x5F, 0xC1, 0x27, 0x0E}};
constexpr IID kConnectionManagerInterface = {
    0xC08956A2, 0x1CD3, 0x11D1, {0xB1, 0xC5, 0x00, 0x80, 0x5F, 0xC1, 0x27, 0x0E}};
constexpr IID kEnumConnectionInterface = {0xC08956A0, 0x1CD3, 0x11D1, {0xB1, 0xC5, 0x00, 0x80, 0x5F, 0xC1, 0x27, 0x0E}};
constexpr IID kConnectionInterface = {0xC08956A1, 0x1CD3, 0x11D1, {0xB1, 0xC5, 0x00, 0x80, 0x5F, 0xC1, 0x27, 0x0E}};
constexpr wchar_t kDecoyGuid[] = L"{DEC0DEC0-0000-4000-8000-00000000DEC0}";

std::atomic<long> GObjects{0};

std::wstring Environment(const wchar_t* name) {
    wchar_t value[1024] = {};
    const DWORD length = ::GetEnvironmentVariableW(name, value, 1024);
    return length > 0 && length < 1024 ? std::wstring(value, length) : std::wstring();
}

void Log(const char* what, const std::wstring& name) {
    const std::wstring path = Environment(L"ZX_NETSHELL_LOG");
    if (path.empty()) return;
    const HANDLE file = ::CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    std::string line = std::to_string(::GetTickCount64()) + " " + std::to_string(::GetCurrentProcessId()) + " " + what +
        " " + std::string(name.begin(), name.end()) + "\n";
    DWORD written = 0;
    ::WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    ::CloseHandle(file);
}

void Delay() {
    const std::wstring text = Environment(L"ZX_NETSHELL_DELAY_MS");
    if (!text.empty()) ::Sleep(static_cast<DWORD>(std::wcstoul(text.c_str(), nullptr, 10)));
}

// The same GUID with every letter in the other case: the match must ignore case.
std::wstring OtherCase(std::wstring text) {
    for (wchar_t& c : text)
        c = std::iswupper(c) ? static_cast<wchar_t>(std::towlower(c)) : static_cast<wchar_t>(std::towupper(c));
    return text;
}

wchar_t* TaskText(const std::wstring& text) {
    auto* copy = static_cast<wchar_t*>(::CoTaskMemAlloc((text.size() + 1) * sizeof(wchar_t)));
    if (copy) ::lstrcpyW(copy, text.c_str());
    return copy;
}

template <typename Interface>
class TObject : public Interface {
public:
    explicit TObject(const IID& iid) : FIid(iid) { ++GObjects; }
    virtual ~TObject() { --GObjects; }
    HRESULT WINAPI QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid != IID_IUnknown && iid != FIid) return E_NOINTERFACE;
        *out = this;
        this->AddRef();
        return S_OK;
    }
    ULONG WINAPI AddRef() override { return static_cast<ULONG>(++FReferences); }
    ULONG WINAPI Release() override {
        const long left = --FReferences;
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

private:
    IID FIid;
    std::atomic<long> FReferences{1};
};

class TConnection final : public TObject<INetConnection> {
public:
    TConnection(std::wstring name, std::wstring guid)
        : TObject(kConnectionInterface), FName(std::move(name)), FGuid(std::move(guid)) {}
    HRESULT WINAPI Connect() override {
        Log("connect", FName);
        Delay();
        Log("connected", FName);
        return S_OK;
    }
    HRESULT WINAPI Disconnect() override {
        Log("disconnect", FName);
        Delay();
        Log("disconnected", FName);
        return S_OK;
    }
    HRESULT WINAPI Delete() override { return E_NOTIMPL; }
    HRESULT WINAPI Duplicate(LPCWSTR, INetConnection**) override { return E_NOTIMPL; }
    HRESULT WINAPI GetProperties(NETCON_PROPERTIES** out) override {
        if (!out) return E_POINTER;
        auto* block = static_cast<NETCON_PROPERTIES*>(::CoTaskMemAlloc(sizeof(NETCON_PROPERTIES)));
        if (!block) return E_OUTOFMEMORY;
        *block = NETCON_PROPERTIES{};
        if (FAILED(::CLSIDFromString(FGuid.c_str(), &block->guidId))) {
            ::CoTaskMemFree(block);
            return E_UNEXPECTED;
        }
        block->pszwName = TaskText(FName);
        block->pszwDeviceName = TaskText(L"Stand-in adapter " + FName);
        block->Status = NCS_CONNECTED;
        block->MediaType = NCM_LAN;
        Log("properties", FName);
        *out = block;
        return S_OK;
    }
    HRESULT WINAPI GetUiObjectClassId(CLSID*) override { return E_NOTIMPL; }
    HRESULT WINAPI Rename(LPCWSTR) override { return E_NOTIMPL; }

private:
    std::wstring FName, FGuid;
};

class TEnumeration final : public TObject<IEnumNetConnection> {
public:
    TEnumeration() : TObject(kEnumConnectionInterface) {}
    HRESULT WINAPI Next(ULONG count, INetConnection** out, ULONG* fetched) override {
        if (fetched) *fetched = 0;
        if (!out || count == 0) return E_INVALIDARG;
        if (FNext == 0) {
            out[0] = new TConnection(L"decoy", kDecoyGuid);
        } else if (FNext == 1) {
            out[0] = new TConnection(L"adapter", OtherCase(Environment(L"ZX_NETSHELL_ADAPTER")));
        } else {
            return S_FALSE;
        }
        ++FNext;
        if (fetched) *fetched = 1;
        return count == 1 ? S_OK : S_FALSE;
    }
    HRESULT WINAPI Skip(ULONG) override { return E_NOTIMPL; }
    HRESULT WINAPI Reset() override {
        FNext = 0;
        return S_OK;
    }
    HRESULT WINAPI Clone(IEnumNetConnection**) override { return E_NOTIMPL; }

private:
    int FNext = 0;
};

class TManager final : public TObject<INetConnectionManager> {
public:
    TManager() : TObject(kConnectionManagerInterface) {}
    HRESULT WINAPI EnumConnections(NETCONMGR_ENUM_FLAGS, IEnumNetConnection** out) override {
        if (!out) return E_POINTER;
        Log("enumerate", L"all");
        *out = new TEnumeration;
        return S_OK;
    }
};

class TFactory final : public IClassFactory {
public:
    HRESULT WINAPI QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid != IID_IUnknown && iid != IID_IClassFactory) return E_NOINTERFACE;
        *out = this;
        return S_OK;
    }
    ULONG WINAPI AddRef() override { return 2; }
    ULONG WINAPI Release() override { return 1; }
    HRESULT WINAPI CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        auto* manager = new TManager;
        const HRESULT result = manager->QueryInterface(iid, out);
        manager->Release();
        return result;
    }
    HRESULT WINAPI LockServer(BOOL) override { return S_OK; }
};

TFactory GFactory;

} // namespace

extern "C" {

__declspec(dllexport) HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (clsid != kConnectionManagerClass) return CLASS_E_CLASSNOTAVAILABLE;
    return GFactory.QueryInterface(iid, out);
}

__declspec(dllexport) HRESULT WINAPI DllCanUnloadNow() {
    return GObjects == 0 ? S_OK : S_FALSE;
}

// Gives a block from GetProperties back, as the system's routine does.
__declspec(dllexport) void WINAPI NcFreeNetconProperties(NETCON_PROPERTIES* block) {
    if (!block) return;
    Log("free", block->pszwName ? block->pszwName : L"?");
    ::CoTaskMemFree(block->pszwName);
    ::CoTaskMemFree(block->pszwDeviceName);
    ::CoTaskMemFree(block);
}

} // extern "C"
