// A label that renders the small markup of platform/ui/RichText.h. Its window text is
// the plain text the user reads (markup removed), so screen readers and test drivers
// read what is shown; Markup() gives back what was set.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "Gdi.h"
#include "WindowBase.h"
#include "platform/ui/RichText.h"

namespace zx {

class TRichLabelWindow final : public TPaintedWindow {
public:
    TRichLabelWindow(HWND parent, int controlId, const RECT& place, bool verticallyCentred);

    void SetMarkup(const std::u16string& markup);
    [[nodiscard]] const std::u16string& Markup() const noexcept { return FMarkup; }

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC dc, const RECT& client) override;
    HFONT FontFor(const TRichRun& run);

    std::u16string FMarkup;
    std::vector<TRichRun> FRuns;
    bool FVerticallyCentred;
};

} // namespace zx
