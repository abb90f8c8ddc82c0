#include "RichLabel.h"

#include "Panel.h"
#include "platform/win32/WideText.h"

namespace zx {

namespace {

constexpr wchar_t kRichLabelClass[] = L"ZxRichLabel";

// Where each letter of a run goes, as the face measures it. Drawing with these advances
// keeps the runs exactly as wide as measured (Wine renders some faces a little narrower
// than it measures them, which would leave gaps between runs).
std::vector<int> LetterAdvances(HDC dc, const std::u16string& text) {
    std::vector<int> advances(text.size());
    if (text.empty()) return advances;
    std::vector<int> ends(text.size());
    SIZE size{};
    if (!::GetTextExtentExPointW(dc, reinterpret_cast<const wchar_t*>(text.c_str()), static_cast<int>(text.size()), 0,
                                 nullptr, ends.data(), &size))
        return advances;
    for (std::size_t i = 0; i < text.size(); ++i) advances[i] = ends[i] - (i == 0 ? 0 : ends[i - 1]);
    return advances;
}

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
    TPaintedWindow::HandleMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Wide(plain)));
    RepaintWhenShown(Handle());
    AnnounceNameChange(); // set without a WM_SETTEXT of its own
}

HFONT TRichLabelWindow::FontFor(const TRichRun& run) {
    return run.Bold ? BoldFont() : Font();
}

LRESULT TRichLabelWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETTEXT:
        // Text set from outside is markup too.
        SetMarkup(FromWide(reinterpret_cast<const wchar_t*>(lParam)));
        return TRUE;
    default:
        return TPaintedWindow::HandleMessage(message, wParam, lParam);
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
        std::vector<std::vector<int>> Advances;
        std::vector<bool> Centered;
        int Height = 0;
    };
    std::vector<TLine> lines(1);
    for (const auto& run : FRuns) {
        TLine& line = lines.back();
        TSelectScope font(dc, FontFor(run));
        TEXTMETRICW metrics{};
        ::GetTextMetricsW(dc, &metrics);
        auto advances = LetterAdvances(dc, run.Text);
        int width = 0;
        for (const int advance : advances) width += advance;
        line.Widths.push_back(width);
        line.Advances.push_back(std::move(advances));
        line.Runs.push_back(&run);
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
        for (std::size_t i = 0; i < line.Runs.size(); ++i) {
            const TRichRun& run = *line.Runs[i];
            TSelectScope font(dc, FontFor(run));
            TEXTMETRICW metrics{};
            ::GetTextMetricsW(dc, &metrics);
            ::SetTextColor(dc, run.Color ? ToColorRef(*run.Color) : normal);
            // Runs of different fonts share one baseline.
            ::SetTextAlign(dc, TA_BASELINE | TA_LEFT);
            ::ExtTextOutW(dc, places[i], y + line.Height - metrics.tmDescent, 0, nullptr,
                          reinterpret_cast<const wchar_t*>(run.Text.c_str()), static_cast<UINT>(run.Text.size()),
                          line.Advances[i].data());
        }
        y += line.Height;
    }
    ::SetTextAlign(dc, TA_TOP | TA_LEFT);
}

} // namespace zx
