#include "launcher/FaultText.h"

#include <array>
#include <string_view>

#include "platform/common/NumberText.h"

namespace zx::launcher {

namespace {

struct TFaultName {
    std::uint32_t Code;
    std::u16string_view Name;
};

constexpr std::array kFaultNames = {
    TFaultName{0xC0000005, u"Access violation"},
    TFaultName{0xC0000006, u"In-page error"},
    TFaultName{0xC000001D, u"Illegal instruction"},
    TFaultName{0xC000008C, u"Array bounds exceeded"},
    TFaultName{0xC000008E, u"Floating-point division by zero"},
    TFaultName{0xC0000094, u"Integer division by zero"},
    TFaultName{0xC0000095, u"Integer overflow"},
    TFaultName{0xC0000096, u"Privileged instruction"},
    TFaultName{0xC00000FD, u"Stack overflow"},
    TFaultName{0xC0000409, u"Stack buffer overrun"},
    TFaultName{0x80000002, u"Misaligned data"},
};

} // namespace

std::u16string DescribeSystemFault(std::uint32_t code, std::uint64_t address) {
    std::u16string_view name = u"Exception";
    for (const auto& known : kFaultNames)
        if (known.Code == code) name = known.Name;
    std::u16string text(name);
    text += u" at address ";
    text += HexText(address, 16);
    text += u" (exception ";
    text += HexText(code, 8);
    text += u")";
    return text;
}

} // namespace zx::launcher
