// The backup folder's rules, behind the folder-chain seam: the descriptor given to each
// folder and the refusal of links, judged on what was opened.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/BackupLocation.h"
#include "native/ShowText.h"

namespace zx {
namespace {

// Records what the rule asks for; each folder's facts are the test's.
class TFakeFolderChain final : public IBackupFolderChain {
public:
    std::optional<TFolderFacts> OpenOrCreate(const std::u16string& name, const std::u16string& sddl) override {
        Calls.push_back(u"open " + name);
        Descriptors.push_back(sddl);
        const auto found = Facts.find(name);
        if (found == Facts.end()) return TFolderFacts{.IsDirectory = true}; // a plain folder
        return found->second;
    }
    bool Protect(const std::u16string& sddl) override {
        Calls.push_back(u"protect");
        Descriptors.push_back(sddl);
        return ProtectWorks;
    }
    std::map<std::u16string, std::optional<TFolderFacts>> Facts;
    bool ProtectWorks = true;
    std::vector<std::u16string> Calls;
    std::vector<std::u16string> Descriptors;
};

TEST(BackupLocationTest, EachFolderIsOpenedThenProtectedWhetherFoundOrCreatedAndRefusedWhenNotAPlainFolder) {
    const TFolderFacts link{.IsDirectory = true, .IsReparsePoint = true};
    const TFolderFacts file{.IsDirectory = false};
    const std::vector<std::u16string> allSteps = {u"open Zephyrix", u"protect", u"open Backup", u"protect"};
    struct TCase {
        const char* What;
        std::map<std::u16string, std::optional<TFolderFacts>> Facts;
        bool ProtectWorks;
        bool Usable;
        std::vector<std::u16string> Steps;
    };
    const std::vector<TCase> cases = {
        {"plain folders", {}, true, true, allSteps},
        {"Zephyrix is a junction: nothing below it is touched", {{u"Zephyrix", link}}, true, false, {u"open Zephyrix"}},
        {"Backup is a junction", {{u"Backup", link}}, true, false, {u"open Zephyrix", u"protect", u"open Backup"}},
        {"a file named Backup", {{u"Backup", file}}, true, false, {u"open Zephyrix", u"protect", u"open Backup"}},
        {"Zephyrix cannot be opened or created", {{u"Zephyrix", std::nullopt}}, true, false, {u"open Zephyrix"}},
        {"the descriptor cannot be applied", {}, false, false, {u"open Zephyrix", u"protect"}},
    };
    for (const TCase& c : cases) {
        TFakeFolderChain chain;
        chain.Facts = c.Facts;
        chain.ProtectWorks = c.ProtectWorks;
        EXPECT_EQ(OpenBackupFolder(chain), c.Usable) << c.What;
        EXPECT_EQ(chain.Calls, c.Steps) << c.What;
        for (const std::u16string& sddl : chain.Descriptors) EXPECT_EQ(sddl, BackupFolderSecurity()) << c.What;
    }
}

// The SDDL text read back into its parts: owner, flags of the access list, and entries.
struct TAce {
    std::u16string Type, Flags, Rights, Trustee;
    bool operator==(const TAce&) const = default;
};
struct TParsedSddl {
    std::u16string Owner, Group, DaclFlags;
    std::vector<TAce> Entries;
};

// Parses "O:owner G:group D:flags(ace)(ace)..." (no spaces), as this descriptor uses it.
TParsedSddl ParseSddl(const std::u16string& sddl) {
    TParsedSddl parsed;
    const auto isTag = [&](std::size_t i) {
        return i + 1 < sddl.size() && sddl[i + 1] == u':' &&
            std::u16string_view(u"OGDS").find(sddl[i]) != std::u16string_view::npos;
    };
    std::size_t at = 0;
    while (at < sddl.size()) {
        EXPECT_TRUE(isTag(at)) << Show(sddl);
        const char16_t tag = sddl[at];
        std::size_t next = at + 2;
        for (int depth = 0; next < sddl.size() && !(depth == 0 && isTag(next)); ++next)
            depth += sddl[next] == u'(' ? 1 : sddl[next] == u')' ? -1 : 0;
        const std::u16string body = sddl.substr(at + 2, next - at - 2);
        at = next;
        if (tag == u'O') parsed.Owner = body;
        if (tag == u'G') parsed.Group = body;
        EXPECT_NE(tag, u'S') << "no audit list is set: " << Show(sddl);
        if (tag != u'D') continue;
        const std::size_t open = std::min(body.find(u'('), body.size());
        parsed.DaclFlags = body.substr(0, open);
        for (std::size_t ace = open; ace < body.size();) {
            const std::size_t close = body.find(u')', ace);
            EXPECT_NE(close, std::u16string::npos) << Show(sddl);
            if (close == std::u16string::npos) break;
            std::vector<std::u16string> fields;
            std::size_t field = ace + 1;
            for (std::size_t semi; (semi = body.find(u';', field)) < close; field = semi + 1)
                fields.push_back(body.substr(field, semi - field));
            fields.push_back(body.substr(field, close - field));
            EXPECT_EQ(fields.size(), 6u) << Show(sddl);
            if (fields.size() == 6) parsed.Entries.push_back({fields[0], fields[1], fields[2], fields[5]});
            ace = close + 1;
        }
    }
    return parsed;
}

TEST(BackupLocationTest, TheDescriptorGivesTheFolderToAdministratorsAloneAndInheritsNothing) {
    const std::u16string sddl = BackupFolderSecurity();
    const TParsedSddl parsed = ParseSddl(sddl);
    EXPECT_EQ(parsed.Owner, u"BA") << Show(sddl);
    EXPECT_EQ(parsed.DaclFlags, u"P") << "protected: nothing from ProgramData's list reaches it";
    const std::vector<TAce> expected = {
        {u"A", u"OICI", u"FA", u"BA"},
        {u"A", u"OICI", u"FA", u"SY"},
        {u"A", u"OICI", u"FR", u"BU"},
    };
    EXPECT_EQ(parsed.Entries.size(), expected.size()) << Show(sddl);
    for (std::size_t i = 0; i < expected.size() && i < parsed.Entries.size(); ++i)
        EXPECT_TRUE(parsed.Entries[i] == expected[i]) << i << ": " << Show(sddl);
}

} // namespace
} // namespace zx
