// The backup folder's rules, behind the folder-chain seam: the descriptor given to each
// folder, the refusal of links, a folder of someone else's moved aside, and which files
// count as backups, judged on what was opened.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/BackupLocation.h"
#include "engine/TweakBackup.h"
#include "native/ShowText.h"

namespace zx {
namespace {

// Records what the rule asks for; each folder's facts are the test's.
class TFakeFolderChain final : public IBackupFolderChain {
public:
    std::optional<TFolderFacts> OpenOrCreate(const std::u16string& name, const std::u16string& sddl) override {
        Calls.push_back(u"open " + name);
        Descriptors.push_back(sddl);
        // A folder moved aside is made afresh by the next open: the facts that follow.
        auto& queue = Facts[name];
        if (queue.empty()) return TFolderFacts{.IsDirectory = true, .TrustedOwner = true}; // a plain folder
        const std::optional<TFolderFacts> facts = queue.front();
        if (queue.size() > 1) queue.erase(queue.begin());
        return facts;
    }
    bool MoveAside(const std::u16string& newName) override {
        Calls.push_back(u"move aside to " + newName);
        return MoveWorks;
    }
    bool Protect(const std::u16string& sddl) override {
        Calls.push_back(u"protect");
        Descriptors.push_back(sddl);
        return ProtectWorks;
    }
    std::map<std::u16string, std::vector<std::optional<TFolderFacts>>> Facts; // per open, in order
    bool ProtectWorks = true;
    bool MoveWorks = true;
    std::vector<std::u16string> Calls;
    std::vector<std::u16string> Descriptors;
};

TEST(BackupLocationTest, EachFolderIsOpenedThenProtectedAndAnotherOwnersFolderIsMovedAsideAndMadeAfresh) {
    const TFolderFacts link{.IsDirectory = true, .IsReparsePoint = true, .TrustedOwner = true};
    const TFolderFacts file{.IsDirectory = false, .TrustedOwner = true};
    const TFolderFacts theirs{.IsDirectory = true}; // owned by a user
    const TFolderFacts ours{.IsDirectory = true, .TrustedOwner = true};
    const std::u16string stamp = u"2026-12-11 17-45-00";
    const std::vector<std::u16string> allSteps = {u"open Zephyrix", u"protect", u"open Backup", u"protect"};
    using TFacts = std::map<std::u16string, std::vector<std::optional<TFolderFacts>>>;
    struct TCase {
        const char* What;
        TFacts Facts;
        bool ProtectWorks, MoveWorks;
        bool Usable;
        std::vector<std::u16string> Steps;
    };
    const std::vector<TCase> cases = {
        {"plain folders of Administrators or SYSTEM", {}, true, true, true, allSteps},
        {"Zephyrix is a junction: nothing below it is touched",
         {{u"Zephyrix", {link}}},
         true,
         true,
         false,
         {u"open Zephyrix"}},
        {"Backup is a junction",
         {{u"Backup", {link}}},
         true,
         true,
         false,
         {u"open Zephyrix", u"protect", u"open Backup"}},
        {"a file named Backup",
         {{u"Backup", {file}}},
         true,
         true,
         false,
         {u"open Zephyrix", u"protect", u"open Backup"}},
        {"Zephyrix cannot be opened or created",
         {{u"Zephyrix", {std::nullopt}}},
         true,
         true,
         false,
         {u"open Zephyrix"}},
        {"the descriptor cannot be applied", {}, false, true, false, {u"open Zephyrix", u"protect"}},
        {"a user's Backup: moved aside, made afresh, used",
         {{u"Backup", {theirs, ours}}},
         true,
         true,
         true,
         {u"open Zephyrix", u"protect", u"open Backup", u"move aside to Backup.untrusted-2026-12-11 17-45-00",
          u"open Backup", u"protect"}},
        {"a user's Zephyrix: moved aside, so the Backup inside goes with it",
         {{u"Zephyrix", {theirs, ours}}},
         true,
         true,
         true,
         {u"open Zephyrix", u"move aside to Zephyrix.untrusted-2026-12-11 17-45-00", u"open Zephyrix", u"protect",
          u"open Backup", u"protect"}},
        {"a user's folder that cannot be moved: refused",
         {{u"Backup", {theirs}}},
         true,
         false,
         false,
         {u"open Zephyrix", u"protect", u"open Backup", u"move aside to Backup.untrusted-2026-12-11 17-45-00"}},
        {"made afresh, yet someone else's again (a race, or no owner kept): refused, nothing moved twice",
         {{u"Backup", {theirs, theirs}}},
         true,
         true,
         false,
         {u"open Zephyrix", u"protect", u"open Backup", u"move aside to Backup.untrusted-2026-12-11 17-45-00",
          u"open Backup"}},
        {"made afresh as a junction: refused",
         {{u"Backup", {theirs, link}}},
         true,
         true,
         false,
         {u"open Zephyrix", u"protect", u"open Backup", u"move aside to Backup.untrusted-2026-12-11 17-45-00",
          u"open Backup"}},
    };
    for (const TCase& c : cases) {
        TFakeFolderChain chain;
        chain.Facts = c.Facts;
        chain.ProtectWorks = c.ProtectWorks;
        chain.MoveWorks = c.MoveWorks;
        EXPECT_EQ(OpenBackupFolder(chain, stamp), c.Usable) << c.What;
        EXPECT_EQ(chain.Calls, c.Steps) << c.What;
        for (const std::u16string& sddl : chain.Descriptors) EXPECT_EQ(sddl, BackupFolderSecurity()) << c.What;
    }
}

TEST(BackupLocationTest, OnlyACompletePlainFileOfAdministratorsOrSystemCountsAsABackup) {
    const std::u16string guid = u"{6B29FC40-CA47-1067-B31D-00DD010662DA}";
    const std::u16string name = guid + u" 2000-01-01 00-00-00.reg";
    const std::vector<std::uint8_t> complete = RegistryFileBytes(u"Windows Registry Editor Version 5.00\r\n\r\n");
    struct TCase {
        const char* What;
        TBackupFileFacts File;
        bool Counts;
    };
    const std::vector<TCase> cases = {
        {"ours, complete", {name, true, true, complete}, true},
        {"planted by a user, complete", {name, true, false, complete}, false},
        {"ours, but a link", {name, false, true, complete}, false},
        {"ours, cut short", {name, true, true, {complete.begin(), complete.begin() + 6}}, false},
        {"ours, another adapter's", {u"{00000000-0000-0000-0000-000000000000} x.reg", true, true, complete}, false},
    };
    for (const TCase& c : cases) EXPECT_EQ(CountsAsTweakBackup(c.File, guid), c.Counts) << c.What;
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
