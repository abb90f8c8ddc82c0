// A plain text label painted by the program itself: the text of its window, in the font
// it is given, with the colours its parent answers to WM_CTLCOLORSTATIC, as a static
// control would draw them. Ours rather than the system's static control so that the
// first frame does not wait for the common-controls library to load.
#pragma once

#include <windows.h>

#include "platform/win32/ui/WindowBase.h"

namespace zx {

class TTextLabelWindow final : public TPaintedWindow {
public:
    enum TLayout {
        lyCentred,           // centred, words wrapped
        lyLeftEllipsisAtEnd, // one line from the left, cut with "..." when too long
        lyLeftWrapped,       // from the left, words wrapped, line breaks kept
    };
    TTextLabelWindow(HWND parent, int controlId, const wchar_t* caption, TLayout layout, const RECT& place,
                     bool visible);

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC dc, const RECT& client) override;

    TLayout FLayout;
};

} // namespace zx
