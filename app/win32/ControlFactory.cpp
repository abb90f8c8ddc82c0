#include "app/win32/ControlFactory.h"

#include <string>

#include "app/ControlAccessibility.h"
#include "kit/Translation.h"
#include "platform/win32/WindowText.h"

namespace zx {

namespace {

// Styled buttons: the header toolbar's and the Run button's appearance and corners.
constexpr char16_t kStyleFamily[] = u"Moravel";
constexpr char16_t kButtonClass[] = u"Primary";
constexpr int kHeaderRadius = 4;
constexpr int kRunRadius = 6;
constexpr int kHeaderGroup = 1;

bool Has(const TControlEntry& entry, TControlOption option) noexcept {
    return (entry.Options & option) != 0;
}

// Applies the table's keyboard flags to a control that has its own default.
void ApplyKeyboardFlags(HWND control, const TControlEntry& entry) {
    const LONG_PTR before = ::GetWindowLongPtrW(control, GWL_STYLE);
    LONG_PTR style = before;
    if (Has(entry, coNoTabStop)) style &= ~static_cast<LONG_PTR>(WS_TABSTOP);
    if (Has(entry, coGroupStart)) style |= WS_GROUP;
    if (style != before) ::SetWindowLongPtrW(control, GWL_STYLE, style);
}

HWND CreateStandardControl(const wchar_t* className, DWORD style, const TControlEntry& entry, HWND parent,
                           const RECT& place) {
    const std::wstring caption(reinterpret_cast<const wchar_t*>(entry.Caption.data()), entry.Caption.size());
    return ::CreateWindowExW(0, className, caption.c_str(), style, place.left, place.top, place.right - place.left,
                             place.bottom - place.top, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(entry.Id)),
                             ::GetModuleHandleW(nullptr), nullptr);
}

} // namespace

TAccessibleReader ControlReader(HWND control, TControlKind kind) {
    return [control, kind] {
        TControlFacts facts;
        facts.Text = WindowText(control);
        facts.Visible = ::IsWindowVisible(control) != FALSE;
        facts.Enabled = ::IsWindowEnabled(control) != FALSE;
        facts.Focused = ::GetFocus() == control;
        // Our buttons answer BM_GETCHECK with their lasting pressed look.
        if (kind == TControlKind::ckToolButton || kind == TControlKind::ckStyledButton)
            facts.Down = ::SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
        return DescribeControl(kind, facts, CurrentLanguage());
    };
}

void TControlFactory::Create(const TControlEntry& entry, HWND parent, const RECT& place, int dpi,
                             TControlWindows& windows) const {
    const int id = static_cast<int>(entry.Id);
    const bool visible = !Has(entry, coHidden);
    const DWORD shown = visible ? WS_VISIBLE : 0;
    const DWORD keyboard = (Has(entry, coNoTabStop) ? 0 : WS_TABSTOP) | (Has(entry, coGroupStart) ? WS_GROUP : 0);
    const std::wstring caption(reinterpret_cast<const wchar_t*>(entry.Caption.data()), entry.Caption.size());
    HWND handle = nullptr;
    TWindowBase* ours = nullptr; // null: a standard control, read by the system's own object

    switch (entry.Kind) {
    case TControlKind::ckForm:
    case TControlKind::ckLink: // the update offer's, made by the offer itself
        return;
    case TControlKind::ckPanel:
    case TControlKind::ckToolbar:
    case TControlKind::ckCardPanel:
    case TControlKind::ckCard:
    case TControlKind::ckGroupBox: {
        const auto kind = entry.Kind == TControlKind::ckGroupBox ? TPanelWindow::pkGroupBox : TPanelWindow::pkPlain;
        auto panel = std::make_unique<TPanelWindow>(parent, id, caption.c_str(), kind, place, visible);
        windows.Panels.push_back(panel.get());
        handle = panel->Handle();
        ours = panel.get();
        windows.Owned.push_back(std::move(panel));
        break;
    }
    case TControlKind::ckToolButton:
    case TControlKind::ckStyledButton: {
        const bool header = entry.Kind == TControlKind::ckToolButton;
        auto attributes = FFamilies.Attributes(kStyleFamily, kButtonClass, header ? u"Header" : u"Outline",
                                               header ? kHeaderRadius : kRunRadius);
        auto button = std::make_unique<TStyledButtonWindow>(parent, id, caption.c_str(), place, visible, attributes,
                                                            header ? kHeaderGroup : 0);
        ApplyKeyboardFlags(button->Handle(), entry);
        button->SetDpi(dpi);
        if (Has(entry, coPressed)) button->SetDown(true);
        windows.Buttons[entry.Id] = button.get();
        handle = button->Handle();
        ours = button.get();
        windows.Owned.push_back(std::move(button));
        break;
    }
    case TControlKind::ckImage: {
        auto logo = std::make_unique<TLogoWindow>(parent, id, place, Has(entry, coHandCursor));
        logo->SetDpi(dpi);
        windows.Logo = logo.get();
        handle = logo->Handle();
        ours = logo.get();
        windows.Owned.push_back(std::move(logo));
        break;
    }
    case TControlKind::ckRichLabel: {
        auto label = std::make_unique<TRichLabelWindow>(parent, id, place, Has(entry, coVCentered));
        label->SetMarkup(std::u16string(entry.Caption));
        windows.RichLabel = label.get();
        handle = label->Handle();
        ours = label.get();
        windows.Owned.push_back(std::move(label));
        break;
    }
    case TControlKind::ckActivityIndicator: {
        auto indicator = std::make_unique<TActivityIndicatorWindow>(parent, id, place);
        windows.Indicator = indicator.get();
        handle = indicator->Handle();
        ours = indicator.get();
        windows.Owned.push_back(std::move(indicator));
        break;
    }
    case TControlKind::ckLabel: {
        const auto layout = Has(entry, coCentered) ? TTextLabelWindow::lyCentred
            : Has(entry, coWordWrap)               ? TTextLabelWindow::lyLeftWrapped
                                                   : TTextLabelWindow::lyLeftEllipsisAtEnd;
        auto label = std::make_unique<TTextLabelWindow>(parent, id, caption.c_str(), layout, place, visible);
        handle = label->Handle();
        ours = label.get();
        windows.Owned.push_back(std::move(label));
        break;
    }
    case TControlKind::ckCheckBox:
        // Not an auto check box: the window's behaviour owns the option and ticks the box.
        // BS_NOTIFY: the window learns which box has the focus (the group's Tab stop).
        handle = CreateStandardControl(L"BUTTON", WS_CHILD | BS_CHECKBOX | BS_NOTIFY | keyboard | shown, entry, parent,
                                       place);
        break;
    }
    if (ours) ours->SetAccessibleReader(ControlReader(handle, entry.Kind));
    windows.Handles[entry.Id] = handle;
}

} // namespace zx
