// Fakes of the adapter switch, the Internet probe and the sleeper: they record each call
// and answer as the test sets them up.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/BackgroundWork.h"
#include "platform/Network.h"
#include "platform/PlatformError.h"

namespace zx {

class TFakeAdapterSwitch final : public IAdapterSwitch {
public:
    bool SetAdapterEnabled(const std::u16string& guid, bool enable) override {
        Calls.emplace_back(guid, enable);
        if (OnCall) OnCall();
        return Result;
    }
    std::vector<std::pair<std::u16string, bool>> Calls;
    std::function<void()> OnCall;
    bool Result = false;
};

// Answers true from the given attempt on (1-based); never when 0. Throws when Error is
// set, as a faulty platform might.
class TFakeProbe final : public IInternetProbe {
public:
    bool IsInternetReachable() override {
        ++Calls;
        if (Error) throw *Error;
        return SucceedFrom != 0 && Calls >= SucceedFrom;
    }
    int SucceedFrom = 0;
    int Calls = 0;
    std::optional<TPlatformError> Error;
};

class TFakeSleeper final : public ISleeper {
public:
    void Sleep(std::chrono::milliseconds duration) override {
        Sleeps.push_back(duration);
        if (OnSleep) OnSleep();
    }
    std::vector<std::chrono::milliseconds> Sleeps;
    std::function<void()> OnSleep;
};

} // namespace zx
