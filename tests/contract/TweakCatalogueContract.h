// What Run and Stop do to the registry, step by step and in the end state, checked
// against the in-memory registry natively and against the real registry under Wine.
// Include in exactly one source of a test program and instantiate TweakCatalogueContract.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "contract/RecordingRegistry.h"
#include "engine/TweakCatalogue.h"
#include "platform/Registry.h"

namespace zx::test {

// A registry in which the catalogue's keys hold nothing of the catalogue when the
// scratch is made: no interface key for the test adapters, no message-queuing key,
// no profile values. Destroying it puts back what was there before.
class TCatalogueScratch {
public:
    virtual ~TCatalogueScratch() = default;
    virtual IRegistry& Registry() = 0;
};

struct TCatalogueBackend {
    std::string Name;
    std::function<std::unique_ptr<TCatalogueScratch>()> Make;
};

inline void PrintTo(const TCatalogueBackend& backend, std::ostream* out) {
    *out << backend.Name;
}

inline std::string CatalogueBackendName(const ::testing::TestParamInfo<TCatalogueBackend>& info) {
    return info.param.Name;
}

// The adapters the tests tune; the scratch keeps their interface keys clean.
inline const std::u16string kTestAdapter = u"{5A17E000-0000-4000-8000-00000000A001}";
inline const std::u16string kOtherAdapter = u"{5A17E000-0000-4000-8000-00000000A002}";

inline const std::u16string kInterfacesKey = u"SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces";
inline const std::u16string kMessageQueuingKey = u"SOFTWARE\\Microsoft\\MSMQ";
inline const std::u16string kQueueKey = u"SOFTWARE\\Microsoft\\MSMQ\\Parameters";
inline const std::u16string kProfileKey = u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Multimedia\\SystemProfile";

class TweakCatalogueContract : public ::testing::TestWithParam<TCatalogueBackend> {
protected:
    struct TEntry {
        std::u16string Key;
        std::u16string Name;
    };
    // The six values in the order Run writes them.
    static std::vector<TEntry> Entries(const std::u16string& adapter) {
        const std::u16string interfaceKey = kInterfacesKey + u"\\" + adapter;
        return {{interfaceKey, u"TcpAckFrequency"},
                {interfaceKey, u"TcpDelAckTicks"},
                {interfaceKey, u"TCPNoDelay"},
                {kQueueKey, u"TCPNoDelay"},
                {kProfileKey, u"NetworkThrottlingIndex"},
                {kProfileKey, u"SystemResponsiveness"}};
    }
    static TRecordedStep Write(const TEntry& entry, std::uint32_t stored) {
        return {roSetValue, kRootLocalMachine, entry.Key, 0x2011F, true, entry.Name, {kRegDword, Bytes(stored)}};
    }
    static TRecordedStep Delete(const TEntry& entry) {
        return {roDeleteValue, kRootLocalMachine, entry.Key, 0x2011F, true, entry.Name, {}};
    }
    static std::vector<std::uint8_t> Bytes(std::uint32_t v) {
        return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v >> 16),
                static_cast<std::uint8_t>(v >> 24)};
    }
    static constexpr std::uint32_t kRunValues[] = {1, 0, 1, 1, 0xFFFFFFFF, 0};

    static std::vector<TRecordedStep> StopSteps(const std::u16string& adapter) {
        const auto e = Entries(adapter);
        return {Delete(e[0]), Delete(e[1]), Delete(e[2]), Delete(e[3]), Write(e[4], 10), Write(e[5], 20)};
    }

    // Reads back in the 64-bit view, through a key of its own.
    std::optional<TRegValue> Read(const TEntry& entry) {
        auto key = FScratch->Registry().OpenKey(kRootLocalMachine, entry.Key, kKeyRead | kKeyWow64Key64);
        return key ? key->QueryValue(entry.Name) : std::nullopt;
    }
    // Sets a value by hand, as another program or a person at a registry editor would.
    void Put(const TEntry& entry, const TRegValue& value) {
        auto key = FScratch->Registry().CreateKey(kRootLocalMachine, entry.Key, kKeyAllAccess | kKeyWow64Key64);
        ASSERT_TRUE(key);
        ASSERT_EQ(key->SetValue(entry.Name, value), kRegSuccess);
    }
    bool KeyExists(const std::u16string& subKey) {
        return FScratch->Registry().OpenKey(kRootLocalMachine, subKey, kKeyRead | kKeyWow64Key64) != nullptr;
    }

    void Fresh() { FScratch.reset(), FScratch = GetParam().Make(); }

    std::unique_ptr<TCatalogueScratch> FScratch;
};

TEST_P(TweakCatalogueContract, RunWritesTheValuesOfTheEnabledOptionsInOrder) {
    struct Case {
        const char* what;
        TTweakOptions options;
        std::vector<int> written; // indices into Entries()
    };
    const Case cases[] = {
        {"all on", {true, true, true, true, true}, {0, 1, 2, 3, 4, 5}},
        {"all off", {false, false, false, false, false}, {}},
        {"ack frequency", {true, false, false, false, false}, {0}},
        {"delayed ack ticks", {false, true, false, false, false}, {1}},
        {"no delay: interface and queue", {false, false, true, false, false}, {2, 3}},
        {"throttling index", {false, false, false, true, false}, {4}},
        {"responsiveness", {false, false, false, false, true}, {5}},
        {"mixed", {true, false, false, true, false}, {0, 4}},
        {"mixed, last three", {false, false, true, true, true}, {2, 3, 4, 5}},
    };
    const auto entries = Entries(kTestAdapter);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Fresh();
        ASSERT_FALSE(KeyExists(kMessageQueuingKey)) << "the machine has no message-queuing key";
        TRecordingRegistry recording(FScratch->Registry());
        ApplyTweaks(recording, kTestAdapter, c.options);

        std::vector<TRecordedStep> expected;
        for (const int i : c.written) expected.push_back(Write(entries[i], kRunValues[i]));
        EXPECT_EQ(recording.Steps(), expected);

        for (std::size_t i = 0; i < entries.size(); ++i) {
            const bool written = std::find(c.written.begin(), c.written.end(), int(i)) != c.written.end();
            const auto stored = Read(entries[i]);
            if (written)
                EXPECT_EQ(stored, (TRegValue{kRegDword, Bytes(kRunValues[i])})) << "entry " << i;
            else
                EXPECT_FALSE(stored) << "entry " << i;
        }
        EXPECT_EQ(KeyExists(kQueueKey), c.options.NoDelay) << "the queue key is made only when written to";
    }
}

TEST_P(TweakCatalogueContract, StopDeletesFourValuesAndPutsBackTheProfileDefaults) {
    for (const bool appliedBefore : {true, false}) {
        SCOPED_TRACE(appliedBefore ? "after Run with all options" : "on a machine never tuned");
        Fresh();
        ASSERT_FALSE(KeyExists(kMessageQueuingKey));
        if (appliedBefore) ApplyTweaks(FScratch->Registry(), kTestAdapter, {true, true, true, true, true});

        TRecordingRegistry recording(FScratch->Registry());
        RevertTweaks(recording, kTestAdapter);
        EXPECT_EQ(recording.Steps(), StopSteps(kTestAdapter));

        const auto entries = Entries(kTestAdapter);
        for (int i = 0; i < 4; ++i) EXPECT_FALSE(Read(entries[i])) << "entry " << i;
        EXPECT_EQ(Read(entries[4]), (TRegValue{kRegDword, {10, 0, 0, 0}}));
        EXPECT_EQ(Read(entries[5]), (TRegValue{kRegDword, {20, 0, 0, 0}}));
        // Opening with create-if-missing also for the deletes leaves the keys behind, empty.
        EXPECT_TRUE(KeyExists(kQueueKey));
        EXPECT_TRUE(KeyExists(kInterfacesKey + u"\\" + kTestAdapter));
    }
}

TEST_P(TweakCatalogueContract, RunningTwiceRewritesTheSameValues) {
    Fresh();
    const TTweakOptions all{true, true, true, true, true};
    ApplyTweaks(FScratch->Registry(), kTestAdapter, all);
    TRecordingRegistry recording(FScratch->Registry());
    ApplyTweaks(recording, kTestAdapter, all);
    const auto entries = Entries(kTestAdapter);
    std::vector<TRecordedStep> expected;
    for (std::size_t i = 0; i < entries.size(); ++i) expected.push_back(Write(entries[i], kRunValues[i]));
    EXPECT_EQ(recording.Steps(), expected);
    for (std::size_t i = 0; i < entries.size(); ++i)
        EXPECT_EQ(Read(entries[i]), (TRegValue{kRegDword, Bytes(kRunValues[i])}));
}

TEST_P(TweakCatalogueContract, StopUnderAnotherAdapterLeavesTheFormerAdaptersValues) {
    Fresh();
    ApplyTweaks(FScratch->Registry(), kTestAdapter, {true, true, true, false, false});
    RevertTweaks(FScratch->Registry(), kOtherAdapter);
    const auto former = Entries(kTestAdapter);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Read(former[i]), (TRegValue{kRegDword, Bytes(kRunValues[i])}));
    EXPECT_FALSE(Read(former[3])) << "the queue value is shared by all adapters";
    const auto current = Entries(kOtherAdapter);
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(Read(current[i]));
}

TEST_P(TweakCatalogueContract, WithoutAUsableAdapterGuidTheInterfaceEntriesAreSkipped) {
    const auto entries = Entries(kTestAdapter);
    for (const std::u16string& adapter : {std::u16string(), kTestAdapter + u"\\Sub"}) {
        Fresh();
        TRecordingRegistry recording(FScratch->Registry());
        ApplyTweaks(recording, adapter, {true, true, true, true, true});
        RevertTweaks(recording, adapter);
        const std::vector<TRecordedStep> expected = {
            Write(entries[3], 1), Write(entries[4], 0xFFFFFFFF), Write(entries[5], 0),
            Delete(entries[3]),   Write(entries[4], 10),         Write(entries[5], 20),
        };
        EXPECT_EQ(recording.Steps(), expected);
        for (const char16_t* name : {u"TcpAckFrequency", u"TcpDelAckTicks", u"TCPNoDelay"})
            EXPECT_FALSE(Read({kInterfacesKey, name})) << "a value was written to the parent key";
        EXPECT_FALSE(KeyExists(entries[0].Key + u"\\Sub"));
    }
}

TEST_P(TweakCatalogueContract, ARememberedAdapterLosesItsValuesButNeverGainsAKey) {
    Fresh();
    ApplyTweaks(FScratch->Registry(), kTestAdapter, {true, true, true, true, true});
    const auto tuned = Entries(kTestAdapter);
    ASSERT_TRUE(Read(tuned[0]));

    RevertAdapterTweaks(FScratch->Registry(), kTestAdapter);
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(Read(tuned[i])) << i;
    EXPECT_TRUE(KeyExists(tuned[0].Key)) << "the key stays; only its values go";
    EXPECT_TRUE(Read(tuned[3])) << "shared values are the active adapter's Stop to revert";
    EXPECT_TRUE(Read(tuned[4]));

    // An adapter the machine does not know (a GUID planted in the user's list): nothing is
    // made for it, not even an empty key.
    RevertAdapterTweaks(FScratch->Registry(), kOtherAdapter);
    EXPECT_FALSE(KeyExists(Entries(kOtherAdapter)[0].Key));
}

TEST_P(TweakCatalogueContract, AnOptionReadsAsSetOnlyWhenAllItsValuesHoldWhatRunWrites) {
    const auto e = Entries(kTestAdapter);
    const TTweakOptions all{true, true, true, true, true};
    const TTweakOptions none{};
    struct Case {
        const char* what;
        std::function<void()> prepare;
        TTweakOptions expected;
    };
    const Case cases[] = {
        {"never tuned", [] {}, none},
        {"after Run with all options", [&] { ApplyTweaks(FScratch->Registry(), kTestAdapter, all); }, all},
        {"after Run and Stop",
         [&] {
             ApplyTweaks(FScratch->Registry(), kTestAdapter, all);
             RevertTweaks(FScratch->Registry(), kTestAdapter);
         },
         none},
        {"Run under another adapter: the shared values only",
         [&] { ApplyTweaks(FScratch->Registry(), kOtherAdapter, all); },
         {false, false, false, true, true}},
        {"TcpNoDelay on the interface only", [&] { Put(e[2], DwordValue(1)); }, none},
        {"TcpNoDelay in the queue only", [&] { Put(e[3], DwordValue(1)); }, none},
        {"TcpNoDelay in both places",
         [&] {
             Put(e[2], DwordValue(1));
             Put(e[3], DwordValue(1));
         },
         {false, false, true, false, false}},
        {"right data, wrong type",
         [&] {
             ApplyTweaks(FScratch->Registry(), kTestAdapter, all);
             Put(e[0], TRegValue{kRegBinary, {1, 0, 0, 0}});
             Put(e[5], TRegValue{kRegQword, {0, 0, 0, 0, 0, 0, 0, 0}});
         },
         {false, true, true, true, false}},
        {"wrong data",
         [&] {
             ApplyTweaks(FScratch->Registry(), kTestAdapter, all);
             Put(e[1], DwordValue(2));
             Put(e[4], DwordValue(10));
         },
         {true, false, true, false, true}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Fresh();
        c.prepare();
        const TTweakOptions read = ReadAppliedTweaks(FScratch->Registry(), kTestAdapter);
        EXPECT_EQ(read.AckFrequency, c.expected.AckFrequency);
        EXPECT_EQ(read.DelAckTicks, c.expected.DelAckTicks);
        EXPECT_EQ(read.NoDelay, c.expected.NoDelay);
        EXPECT_EQ(read.ThrottlingIndex, c.expected.ThrottlingIndex);
        EXPECT_EQ(read.Responsiveness, c.expected.Responsiveness);
    }
}

TEST_P(TweakCatalogueContract, ReadingCreatesNothingAndNeedsAUsableAdapterGuid) {
    Fresh();
    TRecordingRegistry recording(FScratch->Registry());
    (void)ReadAppliedTweaks(recording, kTestAdapter);
    EXPECT_TRUE(recording.Steps().empty());
    EXPECT_FALSE(KeyExists(kMessageQueuingKey));
    EXPECT_FALSE(KeyExists(kInterfacesKey + u"\\" + kTestAdapter));

    // Without a usable GUID the interface values are no adapter's: those options never
    // read as set, the shared ones still do.
    ApplyTweaks(FScratch->Registry(), kTestAdapter, {true, true, true, true, true});
    for (const std::u16string& adapter : {std::u16string(), kTestAdapter + u"\\Sub"}) {
        const TTweakOptions read = ReadAppliedTweaks(FScratch->Registry(), adapter);
        EXPECT_FALSE(read.AckFrequency || read.DelAckTicks || read.NoDelay);
        EXPECT_TRUE(read.ThrottlingIndex && read.Responsiveness);
    }
}

} // namespace zx::test
