// Base of every window of ours: the window procedure is trampolined here, once, to the
// object's HandleMessage (the object pointer travels in WM_NCCREATE and lives in
// GWLP_USERDATA). The object owns its window: destroying the object destroys the window.
#pragma once

#include <windows.h>

#include <utility>

#include "AccessibleObject.h"
#include "Gdi.h"

namespace zx {

// Registers a class of this module with the procedure, once per process: a class of that
// name registered already is kept. No background brush (our windows paint their whole
// client area). The icons (shared ones: the class never frees them) are what its windows
// show until they are given their own. Throws TPlatformError when the class cannot be
// registered.
void RegisterWindowClassOnce(const wchar_t* className, WNDPROC procedure, UINT style, LPCWSTR cursor,
                             HICON icon = nullptr, HICON smallIcon = nullptr);

// Marks the whole window for painting, unless it is hidden (or a parent is): a window is
// painted whole when it shows, and under Wine each mark is a request to the window server.
void RepaintWhenShown(HWND window) noexcept;

// A face made from another font by one change (bold, underlined), made again only when
// the font it comes from changes; that font itself when the face cannot be made.
class TDerivedFont {
public:
    using TChange = void (*)(LOGFONTW& face);
    explicit TDerivedFont(TChange change) noexcept : FChange(change) {}

    [[nodiscard]] HFONT From(HFONT font);

private:
    TChange FChange;
    TUniqueFont FFace;
    HFONT FFrom = nullptr;
};

class TWindowBase {
public:
    TWindowBase() = default;
    virtual ~TWindowBase();
    TWindowBase(const TWindowBase&) = delete;
    TWindowBase& operator=(const TWindowBase&) = delete;

    [[nodiscard]] HWND Handle() const noexcept { return FHandle; }

    // The object behind a window of ours, or null for any other window.
    static TWindowBase* FromHandle(HWND window) noexcept;

    // Accessibility: with a reader set, the window answers WM_GETOBJECT(OBJID_CLIENT)
    // with an accessible object of its own, and announces its changes to screen readers:
    // a name change on WM_SETTEXT, a state change on WM_ENABLE, focus on WM_SETFOCUS.
    // Without one, the system's default object stands for it and nothing is announced.
    void SetAccessibleReader(TAccessibleReader reader) { FAccessibleReader = std::move(reader); }
    [[nodiscard]] const TAccessibleReader& AccessibleReader() const noexcept { return FAccessibleReader; }
    // For changes that pass no message of their own (a label's markup, a pressed look).
    void AnnounceNameChange() const noexcept { Announce(EVENT_OBJECT_NAMECHANGE); }
    void AnnounceStateChange() const noexcept { Announce(EVENT_OBJECT_STATECHANGE); }

protected:
    // Registers the class once per process with our window procedure. Idempotent. The
    // icons (shared ones: the class never frees them) are what its windows show until
    // they are given their own.
    static void RegisterWindowClass(const wchar_t* className, UINT style, LPCWSTR cursor, HICON icon = nullptr,
                                    HICON smallIcon = nullptr);

    // Creates the window; HandleMessage sees every message from WM_NCCREATE on.
    // Throws TPlatformError when the window cannot be created.
    HWND CreateHandle(DWORD exStyle, const wchar_t* className, const wchar_t* text, DWORD style, int x, int y,
                      int width, int height, HWND parent, int controlId);

    // Default: DefWindowProcW.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // After WM_NCDESTROY: the window is gone, the object may live on.
    virtual void WindowDestroyed() {}

private:
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Announce(DWORD event) const noexcept;
    HWND FHandle = nullptr;
    TAccessibleReader FAccessibleReader;
};

// A window of ours that paints all of its area itself: no background erase, painting
// through a back buffer (no flicker), the same painting for WM_PRINTCLIENT, and the
// font it is given with WM_SETFONT.
class TPaintedWindow : public TWindowBase {
protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Paints the whole client rectangle on the given device context.
    virtual void Paint(HDC dc, const RECT& client) = 0;

    // The font given with WM_SETFONT (not owned), or the default GUI font before that.
    [[nodiscard]] HFONT Font() const noexcept;

    // The bold face of Font(), made once per font given; Font() itself if it cannot be made.
    [[nodiscard]] HFONT BoldFont();

private:
    HFONT FFont = nullptr;
    TDerivedFont FBoldFont{[](LOGFONTW& face) { face.lfWeight = FW_BOLD; }};
};

} // namespace zx
