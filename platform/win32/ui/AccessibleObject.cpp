#include "AccessibleObject.h"

#include <oleacc.h>

#include <atomic>
#include <string>
#include <vector>

#include "WindowBase.h"
#include "platform/win32/ComPtr.h"

namespace zx {

namespace {

bool IsSelf(const VARIANT& child) noexcept {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

HRESULT ReturnText(const std::u16string& text, BSTR* out) noexcept {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (text.empty()) return S_FALSE;
    *out = ::SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

// The visible child windows, in Z order (the order the system's object lists them in).
std::vector<HWND> VisibleChildren(HWND window) {
    std::vector<HWND> children;
    for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (::IsWindowVisible(child)) children.push_back(child);
    return children;
}

class TAccessibleControl final : public IAccessible {
public:
    TAccessibleControl(HWND window, TComPtr<IAccessible> standard) : FWindow(window), FStandard(std::move(standard)) {}

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kIidAccessible) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++FReferences; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --FReferences;
        if (left == 0) delete this;
        return left;
    }

    // IDispatch: readers use the IAccessible methods directly.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count) *count = 0;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

    // What the window's reader says.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        TAccessibleDescription d;
        if (const HRESULT hr = Read(child, d); hr != S_OK) return hr;
        return ReturnText(d.Name, name);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!role) return E_POINTER;
        TAccessibleDescription d;
        if (const HRESULT hr = Read(child, d); hr != S_OK) return hr;
        role->vt = VT_I4;
        role->lVal = static_cast<LONG>(d.Role);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        if (!state) return E_POINTER;
        TAccessibleDescription d;
        if (const HRESULT hr = Read(child, d); hr != S_OK) return hr;
        state->vt = VT_I4;
        state->lVal = static_cast<LONG>(d.State);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        TAccessibleDescription d;
        if (const HRESULT hr = Read(child, d); hr != S_OK) return hr;
        return ReturnText(d.DefaultAction, action);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        TAccessibleDescription d;
        if (const HRESULT hr = Read(child, d); hr != S_OK) return hr;
        if (d.DefaultAction.empty()) return DISP_E_MEMBERNOTFOUND;
        if ((d.State & (asUnavailable | asInvisible)) != 0) return E_FAIL;
        // Exactly a click, once the caller has its answer.
        return ::PostMessageW(FWindow, BM_CLICK, 0, 0) ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        if (value) *value = nullptr;
        TAccessibleDescription d;
        if (const HRESULT hr = Read(child, d); hr != S_OK) return hr;
        return DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        if (text) *text = nullptr;
        TAccessibleDescription d;
        if (const HRESULT hr = Read(child, d); hr != S_OK) return hr;
        return DISP_E_MEMBERNOTFOUND;
    }

    // Children: the visible child windows only.
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        if (!count) return E_POINTER;
        if (!::IsWindow(FWindow)) return CO_E_OBJNOTCONNECTED;
        *count = static_cast<long>(VisibleChildren(FWindow).size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!::IsWindow(FWindow)) return CO_E_OBJNOTCONNECTED;
        if (child.vt != VT_I4) return E_INVALIDARG;
        const auto children = VisibleChildren(FWindow);
        if (child.lVal < 1 || static_cast<std::size_t>(child.lVal) > children.size()) return E_INVALIDARG;
        return ::AccessibleObjectFromWindow(children[static_cast<std::size_t>(child.lVal) - 1],
                                            static_cast<DWORD>(OBJID_WINDOW), IID_IDispatch,
                                            reinterpret_cast<void**>(out));
    }

    // Where it is and how to move from it: the system's object for the window.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return FStandard->get_accParent(parent); }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return FStandard->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        return FStandard->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return FStandard->get_accKeyboardShortcut(child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override { return FStandard->get_accFocus(focus); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        return FStandard->get_accSelection(selection);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        return FStandard->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
        return FStandard->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        return FStandard->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
        return FStandard->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    ~TAccessibleControl() = default;

    // The window's description now; an error when the window or its reader is gone, or
    // when a child of ours is asked for (it has its own object).
    HRESULT Read(const VARIANT& child, TAccessibleDescription& description) const {
        if (!IsSelf(child)) return E_INVALIDARG;
        const TWindowBase* owner = TWindowBase::FromHandle(FWindow);
        if (!owner || !owner->AccessibleReader()) return CO_E_OBJNOTCONNECTED;
        try {
            description = owner->AccessibleReader()();
        } catch (...) {
            return E_FAIL;
        }
        return S_OK;
    }

    HWND FWindow;
    TComPtr<IAccessible> FStandard;
    std::atomic<ULONG> FReferences{1};
};

} // namespace

LRESULT AnswerAccessibleObject(HWND window, WPARAM flags) noexcept {
    try {
        TComPtr<IAccessible> standard;
        if (FAILED(::CreateStdAccessibleObject(window, static_cast<LONG>(OBJID_CLIENT), kIidAccessible,
                                               standard.put_void())))
            return 0;
        auto* object = new TAccessibleControl(window, std::move(standard));
        const LRESULT answer = ::LresultFromObject(kIidAccessible, flags, object);
        object->Release(); // the answer holds its own reference
        return answer < 0 ? 0 : answer;
    } catch (...) {
        return 0;
    }
}

} // namespace zx
