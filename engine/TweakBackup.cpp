#include "engine/TweakBackup.h"

#include <algorithm>
#include <optional>

#include "engine/RegistryPath.h"
#include "engine/TweakCatalogue.h"
#include "platform/common/AsciiText.h"
#include "platform/common/NumberText.h"

namespace zx {

namespace {

constexpr char16_t kHeader[] = u"Windows Registry Editor Version 5.00";
constexpr char16_t kLineEnd[] = u"\r\n";

std::u16string Quoted(const std::u16string& text) {
    std::u16string quoted = u"\"";
    for (const char16_t c : text) {
        if (c == u'\\' || c == u'"') quoted += u'\\';
        quoted += c;
    }
    return quoted + u"\"";
}

std::u16string HexBytes(const std::vector<std::uint8_t>& bytes) {
    std::u16string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i) text += u',';
        text += ToLowerAscii(HexText(bytes[i], 2));
    }
    return text;
}

// The editor's notation of a stored value, after "Name"=.
std::u16string ValueText(const TRegValue& value) {
    if (value.Type == kRegDword && value.Data.size() == 4) {
        const std::uint32_t dword = value.Data[0] | (value.Data[1] << 8) | (value.Data[2] << 16) |
            (static_cast<std::uint32_t>(value.Data[3]) << 24);
        return u"dword:" + ToLowerAscii(HexText(dword, 8));
    }
    // Text that ends in its NUL and holds no other is written as text; anything else as
    // bytes, so that the import gives back exactly what was there.
    if (value.Type == kRegSz && value.Data.size() % 2 == 0 && value.Data == StringValue(TextFromData(value.Data)).Data)
        return Quoted(TextFromData(value.Data));
    if (value.Type == kRegBinary) return u"hex:" + HexBytes(value.Data);
    int digits = 1;
    while (digits < 8 && (value.Type >> (4 * digits)) != 0) ++digits;
    return u"hex(" + ToLowerAscii(HexText(value.Type, digits)) + u"):" + HexBytes(value.Data);
}

} // namespace

std::u16string TweakBackupName(const std::u16string& adapterGuid, const TBackupTime& time) {
    return adapterGuid + u" " + ZeroPaddedDecimal(static_cast<std::uint64_t>(time.Year), 4) + u"-" +
        ZeroPaddedDecimal(static_cast<std::uint64_t>(time.Month), 2) + u"-" +
        ZeroPaddedDecimal(static_cast<std::uint64_t>(time.Day), 2) + u" " +
        ZeroPaddedDecimal(static_cast<std::uint64_t>(time.Hour), 2) + u"-" +
        ZeroPaddedDecimal(static_cast<std::uint64_t>(time.Minute), 2) + u"-" +
        ZeroPaddedDecimal(static_cast<std::uint64_t>(time.Second), 2) + u".reg";
}

std::u16string TweakBackupTemporaryName(const std::u16string& fileName) {
    // A leading "~" keeps it out of every "<guid> *" pattern.
    return u"~" + fileName + u".tmp";
}

std::size_t TweakBackupHeadSize() noexcept {
    return RegistryFileBytes(std::u16string(kHeader) + kLineEnd).size();
}

bool IsCompleteTweakBackup(const std::u16string& fileName, const std::u16string& adapterGuid,
                           const std::vector<std::uint8_t>& head) {
    const std::u16string prefix = adapterGuid + u" ";
    if (adapterGuid.empty() || fileName.size() < prefix.size() + 4 ||
        !SameTextIgnoringAsciiCase(std::u16string_view(fileName).substr(0, prefix.size()), prefix) ||
        !SameTextIgnoringAsciiCase(std::u16string_view(fileName).substr(fileName.size() - 4), u".reg"))
        return false;
    const std::vector<std::uint8_t> header = RegistryFileBytes(std::u16string(kHeader) + kLineEnd);
    return head.size() >= header.size() && std::equal(header.begin(), header.end(), head.begin());
}

std::u16string TweakBackupText(IRegistry& registry, const std::u16string& adapterGuid) {
    std::u16string text = std::u16string(kHeader) + kLineEnd;
    std::u16string blockPath;
    for (const TTweak& tweak : TweakCatalogue()) {
        const std::u16string path = TweakLocationPath(tweak.Location, adapterGuid);
        if (path != blockPath) {
            text += kLineEnd;
            text += u"[" + path + u"]" + kLineEnd;
            blockPath = path;
        }
        const std::optional<TRegValue> value = ReadRegistryValue(registry, path, tweak.ValueName);
        text += Quoted(tweak.ValueName) + u"=" + (value ? ValueText(*value) : u"-") + kLineEnd;
    }
    return text + kLineEnd;
}

std::vector<std::uint8_t> RegistryFileBytes(const std::u16string& text) {
    std::vector<std::uint8_t> bytes = {0xFF, 0xFE};
    bytes.reserve(2 + text.size() * 2);
    for (const char16_t c : text) {
        bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    return bytes;
}

bool BackUpTweaksOnce(IRegistry& registry, ITweakBackupStore& store, const std::u16string& adapterGuid,
                      const TBackupTime& time) noexcept {
    try {
        if (adapterGuid.empty() || store.HasBackup(adapterGuid)) return false;
        return store.Save(TweakBackupName(adapterGuid, time),
                          RegistryFileBytes(TweakBackupText(registry, adapterGuid)));
    } catch (...) {
        return false; // a backup is a courtesy: it never stops Run
    }
}

} // namespace zx
