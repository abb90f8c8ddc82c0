// The main window's behaviour over a recording view, an in-memory registry and fakes of
// the network, threads and time.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/MainForm.h"
#include "kit/Translation.h"
#include "native/FakeMainView.h"
#include "native/FakeNetworkPorts.h"
#include "platform/memory/MemoryRegistry.h"
#include "resources/EmbeddedData.h"

namespace zx {

class TFakeAdapterSource final : public IActiveAdapterSource {
public:
    bool FindActiveAdapter(std::u16string& name, std::u16string& guid, std::u16string& ip) override {
        ++Calls;
        if (Error) throw *Error;
        name = Name, guid = GUID, ip = IP;
        return Found;
    }
    bool Found = false;
    std::u16string Name, GUID, IP; // written even when not found, as a failed walk may do
    std::optional<TPlatformError> Error;
    int Calls = 0;
};

// Keeps the jobs until the test runs them, so that what happens before the wait ends
// can be seen.
class TFakeRunner final : public IBackgroundRunner {
public:
    void Run(std::function<void()> job) override { Jobs.push_back(std::move(job)); }
    void RunAll() {
        while (!Jobs.empty()) {
            auto job = std::move(Jobs.front());
            Jobs.pop_front();
            job();
        }
    }
    std::deque<std::function<void()>> Jobs;
};

class TFakeDispatcher final : public IUiDispatcher {
public:
    void InvokeSynchronously(const std::function<void()>& call) override {
        ++Calls;
        call();
    }
    int Calls = 0;
};

// Backups kept in memory, by file name; Fails makes every save fail.
class TMemoryBackupStore final : public ITweakBackupStore {
public:
    bool HasBackup(const std::u16string& adapterGuid) override {
        for (const auto& [name, bytes] : Files)
            if (IsCompleteTweakBackup(name, adapterGuid, bytes)) return true;
        return false;
    }
    bool Save(const std::u16string& fileName, const std::vector<std::uint8_t>& bytes) override {
        if (Fails || Files.contains(fileName)) return false;
        Files[fileName] = bytes;
        return true;
    }
    std::map<std::u16string, std::vector<std::uint8_t>> Files;
    bool Fails = false;
};

class TFixedClock final : public ILocalClock {
public:
    TLocalDate Today() override { return Date; }
    TLocalTimeOfDay TimeOfDay() override { return Time; }
    TLocalDate Date{2026, 12, 10};
    TLocalTimeOfDay Time{9, 5, 3};
};

inline const std::u16string kSettingsKey = u"Software\\Zephyrix";

class MainFormTest : public ::testing::Test {
protected:
    MainFormTest() { StartTranslation(EmbeddedTranslationText(), u"en"); }
    ~MainFormTest() override { StopTranslation(); }

    // The fixture's fakes over `registry` (the fixture's own by default).
    TMainServices Services() { return Services(FRegistry); }
    TMainServices Services(IRegistry& registry) {
        return TMainServices{
            .Registry = registry,
            .Adapters = FAdapters,
            .AdapterSwitch = FSwitch,
            .InternetProbe = FProbe,
            .Runner = FRunner,
            .UiDispatcher = FDispatcher,
            .Sleeper = FSleeper,
            .Backups = FBackups,
            .WriteGate = FWriteGate,
            .Clock = FClock,
            .AppVersion = u"1.6.0.0",
            .RandomIndex =
                [this](int count) {
                    FRandomCounts.push_back(count);
                    return FRandomResult;
                },
            .ShortLinkHost = u"https://short.test",
            .UpdateServiceURL = u"https://update.test/api.init.php",
            .CheckUpdate =
                [this](const std::u16string& serviceURL, TUpdateCallback done, int dialogOffset) {
                    FUpdateChecks.push_back({serviceURL, std::move(done), dialogOffset});
                },
        };
    }

    // Stores a value by hand in the settings key.
    void Store(const std::u16string& name, const TRegValue& value) {
        auto key = FRegistry.CreateKey(kRootCurrentUser, kSettingsKey, kKeyAllAccess);
        ASSERT_TRUE(key);
        ASSERT_EQ(key->SetValue(name, value), kRegSuccess);
    }
    std::optional<TRegValue> Stored(const std::u16string& name) const {
        return FRegistry.Value(kRootCurrentUser, kSettingsKey, name);
    }
    // The value names written, in order, and whether anything reached HKEY_LOCAL_MACHINE.
    std::vector<std::u16string> WrittenNames() const {
        std::vector<std::u16string> names;
        for (const auto& op : FRegistry.Journal())
            if (op.Root == kRootCurrentUser) names.push_back(op.Name);
        return names;
    }
    // The restart's own record (engine/AdapterRestart.h) is left out: its tests look at it.
    std::vector<TRegOperation> MachineWrites() const {
        std::vector<TRegOperation> writes;
        for (const auto& op : FRegistry.Journal())
            if (op.Root == kRootLocalMachine && op.Key != kRestartRecordKey) writes.push_back(op);
        return writes;
    }

    TMemoryRegistry FRegistry;
    TFakeAdapterSource FAdapters;
    TFakeAdapterSwitch FSwitch;
    TFakeProbe FProbe;
    TFakeRunner FRunner;
    TFakeDispatcher FDispatcher;
    TFakeSleeper FSleeper;
    TMemoryBackupStore FBackups;
    TWriteGate FWriteGate;
    TFixedClock FClock;
    int FRandomResult = 0;
    std::vector<int> FRandomCounts;
    struct TUpdateCheckCall {
        std::u16string ServiceURL;
        TUpdateCallback Done;
        int DialogOffset;
    };
    std::vector<TUpdateCheckCall> FUpdateChecks;
    TFakeMainView FView;
    TFrmZephyrix FForm{FView, Services()};
};

} // namespace zx
