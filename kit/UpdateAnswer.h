// The update service's answer as both programs read it: fields cut out by their markers,
// JSON escapes resolved, and the rule for which download addresses may be opened.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace zx {

// The field markers: the key in double quotes, a colon, then the value's opening
// character, with no spaces in between.
inline constexpr std::u16string_view kUpdateMarker = u"\"update\":\"";
inline constexpr std::u16string_view kInfoMarker = u"\"info\":{";
inline constexpr std::u16string_view kStyleMarker = u"\"style\":\"";
inline constexpr std::u16string_view kTextMarker = u"\"text\":\"";
inline constexpr std::u16string_view kFlagMarker = u"\"flag\":\"";
inline constexpr std::u16string_view kURLMarker = u"\"url\":\"";

// The main program's reading: the text after the first `startMarker` up to the next
// `endMarker`, markers matched ignoring the case of ASCII letters. When the end marker is
// a quote (", ' or "'), a backslash right before it protects it, so an escaped quote does
// not end the value. Empty when either marker is missing.
[[nodiscard]] std::u16string ExtractBetween(std::u16string_view source, std::u16string_view startMarker,
                                            std::u16string_view endMarker);

// A `\u` escape without four hexadecimal digits; raised by the strict unescaping only.
class TJsonEscapeError : public std::runtime_error {
public:
    TJsonEscapeError() : std::runtime_error("'\\u' escape without hexadecimal digits") {}
};

// How a malformed `\u` escape (no digit left, or characters that are not hexadecimal)
// is taken: the main program refuses the whole answer, the launcher drops the escape.
enum class TEscapePolicy { epStrict, epLenient };

// Resolves \" \' \/ \\ \b \f \n \r \t and \uXXXX (the four characters, or fewer at the end
// of the text, are consumed; two escapes of a surrogate pair make one character). Any
// other escape and a trailing backslash add nothing. epStrict raises TJsonEscapeError on a
// malformed \u; epLenient adds nothing for it, and nothing for \u0000 either.
[[nodiscard]] std::u16string UnescapeJSON(std::u16string_view text, TEscapePolicy policy = TEscapePolicy::epStrict);

// The launcher's reading of the download address, lenient: the exact (case-sensitive)
// "update" marker, up to the next double quote whatever precedes it, unescaped leniently.
// Never throws but for lack of memory.
[[nodiscard]] std::u16string ExtractUpdateURL(std::u16string_view answer);

// The main program's reading of the download address, strict: throws TJsonEscapeError on
// a malformed \u escape (the check then offers nothing).
[[nodiscard]] std::u16string ReadUpdateAddressStrict(std::u16string_view answer);

// The optional notice of the main program's dialog, from the answer's "info" object.
struct TUpdateNotice {
    std::u16string Style; // "hold" or "note" add a line; any other non-empty style only the band
    std::u16string Text;
    std::u16string Flag; // containing "stayontop": the dialog stays on top
    std::u16string URL;  // opened by the "note" line

    [[nodiscard]] bool StaysOnTop() const { return Flag.find(u"stayontop") != std::u16string::npos; }
};

// Reads the four notice fields (each unescaped strictly: may raise TJsonEscapeError).
[[nodiscard]] TUpdateNotice ReadUpdateNotice(std::u16string_view answer);

// Only web addresses are handed to the shell: an address from the network that names a
// local file, a share or another scheme would make the shell start a program. True when
// `address` begins with "http://" or "https://", scheme letters in any case, and holds no
// character up to U+0020 (space and control characters), no U+007F and no double quote.
[[nodiscard]] bool IsWebAddress(std::u16string_view address) noexcept;

} // namespace zx
