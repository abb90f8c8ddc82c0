// The update service's answer as both programs read it: the main program's marker search
// and strict unescaping (UTF-16 from UTF-8, as its client decodes the body), and the
// launcher's byte-per-character reading with its exact marker and lenient unescaping.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "fuzz/FuzzInput.h"
#include "kit/UpdateAnswer.h"
#include "platform/common/Utf8.h"

namespace {

std::size_t Nuls(std::u16string_view text) {
    std::size_t count = 0;
    for (const char16_t c : text) count += c == 0 ? 1 : 0;
    return count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zx;
    const std::u16string answer = DecodeUtf8(std::span(data, size));

    // A value cut out is a part of the source, wherever the markers were found.
    for (const auto marker : {kUpdateMarker, kInfoMarker, kStyleMarker, kTextMarker, kFlagMarker, kURLMarker}) {
        for (const std::u16string_view end : {u"\"", u"}", u"'", u"\"'"}) {
            const std::u16string value = ExtractBetween(answer, marker, end);
            if (!value.empty() && answer.find(value) == std::u16string::npos) fuzz::PropertyFailed();
        }
    }
    try {
        (void)ReadUpdateAddressStrict(answer);
        (void)ReadUpdateNotice(answer);
    } catch (const TJsonEscapeError&) {
        // a malformed \u refuses the answer: expected
    }

    // Both unescapings agree wherever the strict one accepts and no escape made a NUL
    // (which only the launcher drops). Raw NULs are replaced first, so that a NUL in the
    // result can only come from an escape: counting them against the source's would let an
    // unknown escape that swallows a raw NUL hide a NUL made by \u0000.
    std::u16string withoutNuls = answer;
    for (char16_t& c : withoutNuls)
        if (c == 0) c = 1;
    try {
        const std::u16string strict = UnescapeJSON(withoutNuls, TEscapePolicy::epStrict);
        if (Nuls(strict) == 0 && UnescapeJSON(withoutNuls, TEscapePolicy::epLenient) != strict) fuzz::PropertyFailed();
    } catch (const TJsonEscapeError&) {
    }

    const std::u16string reply = fuzz::BytesAsCharacters(data, size);
    const std::u16string address = ExtractUpdateURL(reply);
    if (address.size() > reply.size()) fuzz::PropertyFailed();
    (void)IsWebAddress(address);
    return 0;
}
