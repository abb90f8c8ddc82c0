#include "platform/TransportRule.h"

#include "platform/common/AsciiText.h"

namespace zx {

namespace {

bool StartsWithIgnoringAsciiCase(std::u16string_view text, std::u16string_view start) noexcept {
    return text.size() >= start.size() && SameTextIgnoringAsciiCase(text.substr(0, start.size()), start);
}

} // namespace

bool TransportAllows(TTransportRule rule, std::u16string_view url) noexcept {
    if (StartsWithIgnoringAsciiCase(url, u"https://")) return true;
    return rule == TTransportRule::trPlainHttpAllowed && StartsWithIgnoringAsciiCase(url, u"http://");
}

} // namespace zx
