// Whether Windows' high-contrast mode is on, and the system colours to draw with then.
// The question sits behind an interface: tests switch the mode through it (Wine cannot
// switch the real one on) and send the window the real change messages.
#pragma once

#include <windows.h>

#include "platform/ui/HighContrast.h"

namespace zx {

class IHighContrastQuery {
public:
    virtual ~IHighContrastQuery() = default;
    [[nodiscard]] virtual bool HighContrastOn() const = 0;
};

// The system's answer (SPI_GETHIGHCONTRAST); off when the question fails.
class TSystemHighContrast final : public IHighContrastQuery {
public:
    [[nodiscard]] bool HighContrastOn() const override;
};

// Button face, button text, highlight and gray text as the system has them now.
[[nodiscard]] TSystemColors CurrentSystemColors();

} // namespace zx
