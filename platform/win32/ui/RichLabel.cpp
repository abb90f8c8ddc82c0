#include "RichLabel.h"

#include "Panel.h"
#include "platform/win32/WideText.h"

namespace zx {

namespace {

constexpr wchar_t kRichLabelClass[] = L"ZxRichLabel";

} // namespace

TRichLabelWindow::TRichLabelWindow(HWND parent, int controlId, const RECT& place, bool verticallyCentred)
    : FVerticallyCentred(verticallyCentred) {
    RegisterWindowClass(kRichLabelClass, 0, IDC_ARROW);
    CreateHandle(0, kRichLabelClass, L"", WS_CHILD | WS_VISIBLE, place.left, place.top, place.right - place.left,
                 place.bottom - place.top, parent, controlId);
}

void TRichLabelWindow::SetMarkup(const std::u16string& markup) {
    FMarkup = markup;
    FRuns = ParseRichText(markup);
    const std::u16string plain = PlainText(FRuns);
    TWindowBase::HandleMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Wide(plain)));
    ::InvalidateRect(Handle(), nullptr, FALSE);
}

HFONT TRichLabelWindow::FontFor(const TRichRun& run) {
    HFONT font = FFont ? FFont : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    if (!run.Bold) return font;
    if (FBoldFrom != font || !FBoldFont) {
        LOGFONTW lf{};
        ::GetObjectW(font, sizeof(lf), &lf);
        lf.lfWeight = FW_BOLD;
        FBoldFont.reset(::CreateFontIndirectW(&lf));
        FBoldFrom = font;
    }
    return FBoldFont ? FBoldFont.get() : font;
}

LRESULT TRichLabelWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        TPaintScope paint(Handle());
        RECT client;
        ::GetClientRect(Handle(), &client);
        TBufferedCanvas canvas(paint.Dc(), client);
        Paint(canvas.Dc(), client);
        return 0;
    }
    case WM_PRINTCLIENT: {
        RECT client;
        ::GetClientRect(Handle(), &client);
        Paint(reinterpret_cast<HDC>(wParam), client);
        return 0;
    }
    case WM_SETTEXT:
        // Text set from outside is markup too.
        SetMarkup(FromWide(reinterpret_cast<const wchar_t*>(lParam)));
        return TRUE;
    case WM_SETFONT:
        FFont = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(lParam)) ::InvalidateRect(Handle(), nullptr, FALSE);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(FFont);
    default:
        return TWindowBase::HandleMessage(message, wParam, lParam);
    }
}

void TRichLabelWindow::Paint(HDC dc, const RECT& client) {
    FillSolid(dc, client, kWindowColor);
    ::SetBkMode(dc, TRANSPARENT);
    const int boxWidth = client.right - client.left;

    // Lines of runs with their measured widths; the line height is the tallest font's.
    struct TLine {
        std::vector<const TRichRun*> Runs;
        std::vector<int> Widths;
        std::vector<bool> Centered;
        int Height = 0;
    };
    std::vector<TLine> lines(1);
    for (const auto& run : FRuns) {
        TLine& line = lines.back();
        TSelectScope font(dc, FontFor(run));
        TEXTMETRICW metrics{};
        ::GetTextMetricsW(dc, &metrics);
        SIZE extent{};
        const std::wstring text(reinterpret_cast<const wchar_t*>(run.Text.c_str()), run.Text.size());
        ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        line.Runs.push_back(&run);
        // A simulated bold face reports its overhang in every extent; the runs join without it.
        line.Widths.push_back(extent.cx - metrics.tmOverhang);
        line.Centered.push_back(run.Centered);
        line.Height = std::max(line.Height, static_cast<int>(metrics.tmHeight));
        if (run.LineBreak) lines.emplace_back();
    }
    if (lines.back().Runs.empty() && lines.size() > 1) lines.pop_back();

    int total = 0;
    for (const auto& line : lines) total += line.Height;
    int y = FVerticallyCentred ? std::max(0, static_cast<int>(client.bottom - client.top) - total) / 2 : 0;
    const COLORREF normal = ::GetSysColor(COLOR_WINDOWTEXT);
    for (const auto& line : lines) {
        const auto places = PlaceRichLine(line.Widths, line.Centered, boxWidth);
        // The runs follow one another from the line's start by their drawn advance.
        ::MoveToEx(dc, places.empty() ? 0 : places.front(), 0, nullptr);
        ::SetTextAlign(dc, TA_BASELINE | TA_LEFT | TA_UPDATECP);
        for (std::size_t i = 0; i < line.Runs.size(); ++i) {
            const TRichRun& run = *line.Runs[i];
            TSelectScope font(dc, FontFor(run));
            TEXTMETRICW metrics{};
            ::GetTextMetricsW(dc, &metrics);
            ::SetTextColor(dc, run.Color ? ToColorRef(*run.Color) : normal);
            POINT position{};
            ::GetCurrentPositionEx(dc, &position);
            // Runs of different fonts share one baseline.
            ::MoveToEx(dc, position.x, y + line.Height - metrics.tmDescent, nullptr);
            ::ExtTextOutW(dc, 0, 0, 0, nullptr, reinterpret_cast<const wchar_t*>(run.Text.c_str()),
                          static_cast<UINT>(run.Text.size()), nullptr);
            if (metrics.tmOverhang != 0) {
                ::GetCurrentPositionEx(dc, &position);
                ::MoveToEx(dc, position.x - metrics.tmOverhang, position.y, nullptr);
            }
        }
        y += line.Height;
    }
    ::SetTextAlign(dc, TA_TOP | TA_LEFT);
}

} // namespace zx
