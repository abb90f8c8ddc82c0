#include "app/win32/MainWindowFonts.h"

#include <cstdlib>
#include <vector>

#include "app/ControlTable.h"
#include "kit/FitLabelFont.h"
#include "platform/ui/DpiScale.h"
#include "platform/ui/FontFit.h"
#include "platform/win32/WideText.h"
#include "platform/win32/WindowText.h"
#include "platform/win32/ui/Gdi.h"

namespace zx {

namespace {

// The look the window was designed with, before start-up switches to the desktop font.
constexpr wchar_t kDesignedFontName[] = L"Segoe UI";
constexpr int kDesignedFontHeight96 = 12;

// The desktop's icon-title font at this DPI, or the default GUI font's description.
LOGFONTW DesktopFontDescription(int dpi) {
    LOGFONTW lf{};
    if (!::SystemParametersInfoForDpi(SPI_GETICONTITLELOGFONT, sizeof(lf), &lf, 0, static_cast<UINT>(dpi))) {
        ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
        lf.lfHeight = -ScaleForDpi(12, dpi);
    }
    return lf;
}

// A font of our own choosing, in the desktop font's character set: the user's script
// then finds its glyphs (through font linking) also in a face that lacks them.
TUniqueFont CreateFontWith(const wchar_t* face, int pixelHeight, BYTE quality, int dpi) {
    LOGFONTW lf{};
    lf.lfHeight = -pixelHeight;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DesktopFontDescription(dpi).lfCharSet;
    lf.lfQuality = quality;
    wcsncpy_s(lf.lfFaceName, face, _TRUNCATE);
    return TUniqueFont(::CreateFontIndirectW(&lf));
}

TUniqueFont CreateDesktopFont(int dpi) {
    const LOGFONTW lf = DesktopFontDescription(dpi);
    return TUniqueFont(::CreateFontIndirectW(&lf));
}

} // namespace

void TMainWindowFonts::Create(int dpi) {
    FFont = FDesktopFont
        ? CreateDesktopFont(dpi)
        : CreateFontWith(kDesignedFontName, ScaleForDpi(kDesignedFontHeight96, dpi), DEFAULT_QUALITY, dpi);
    const int titlePixels = FTitlePoints ? PixelsFromPoints(*FTitlePoints, dpi) : ScaleForDpi(kTitleFontHeight96, dpi);
    FTitleFont = CreateFontWith(FTitleFace.c_str(), titlePixels, ANTIALIASED_QUALITY, dpi);
    FButtonFont = CreateFontWith(kDesignedFontName, ScaleForDpi(kDesignedFontHeight96, dpi), DEFAULT_QUALITY, dpi);
}

bool TMainWindowFonts::ChooseTitleFace(HWND window, const std::u16string& caption, int dpi) {
    // Tahoma when it has every letter of the caption; otherwise the desktop font's face,
    // which carries the user's script (Wine links no other font to plain Tahoma, so CJK
    // titles would show boxes).
    std::wstring face(reinterpret_cast<const wchar_t*>(kTitleFontName.data()), kTitleFontName.size());
    {
        const TUniqueFont tahoma =
            CreateFontWith(face.c_str(), ScaleForDpi(kTitleFontHeight96, dpi), ANTIALIASED_QUALITY, dpi);
        TWindowDc dc(window);
        TSelectScope selected(dc.Dc(), tahoma.get());
        std::vector<WORD> glyphs(caption.size() + 1);
        const DWORD count = ::GetGlyphIndicesW(dc.Dc(), Wide(caption), static_cast<int>(caption.size()), glyphs.data(),
                                               GGI_MARK_NONEXISTING_GLYPHS);
        bool complete = count != GDI_ERROR;
        for (std::size_t i = 0; complete && i < caption.size(); ++i)
            if (glyphs[i] == 0xFFFF && caption[i] != u' ') complete = false;
        if (!complete) face = DesktopFontDescription(dpi).lfFaceName;
    }
    if (face == FTitleFace) return false;
    FTitleFace = face;
    return true;
}

// The title label as FitLabelFont sees it: measured in the title's font, resized by
// making the fonts anew.
class TMainWindowFonts::TTitleLabel final : public IFittableLabel {
public:
    TTitleLabel(TMainWindowFonts& fonts, HWND label, int dpi) : FFonts(fonts), FLabel(label), FDpi(dpi) {}
    int Width() const override {
        RECT client;
        ::GetClientRect(FLabel, &client);
        return client.right - client.left;
    }
    int CaptionWidth() const override {
        const std::u16string caption = WindowText(FLabel);
        TWindowDc dc(FLabel);
        TSelectScope font(dc.Dc(), FFonts.FTitleFont.get());
        SIZE extent{};
        if (!::GetTextExtentPoint32W(dc.Dc(), Wide(caption), static_cast<int>(caption.size()), &extent)) return 0;
        return extent.cx;
    }
    int FontPoints() const override {
        LOGFONTW lf{};
        ::GetObjectW(FFonts.FTitleFont.get(), sizeof(lf), &lf);
        return PointsFromPixels(std::abs(static_cast<int>(lf.lfHeight)), FDpi);
    }
    void SetFontPoints(int points) override {
        FFonts.FTitlePoints = points;
        FFonts.Create(FDpi);
        Changed = true;
    }
    bool Changed = false;

private:
    TMainWindowFonts& FFonts;
    HWND FLabel;
    int FDpi;
};

bool TMainWindowFonts::FitTitle(HWND title, int dpi) {
    TTitleLabel label(*this, title, dpi);
    FitLabelFont(label);
    return label.Changed;
}

void TMainWindowFonts::UseDesktopFont(int dpi) {
    FDesktopFont = true;
    Create(dpi);
}

} // namespace zx
