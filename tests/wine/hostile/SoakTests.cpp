// The real main program through long use under Wine: 200 card switches, 50 Run/Stop
// cycles against the probe peer (answering at once), and 20 display-scale changes. Its
// resources are counted from outside after the first cycle and at the end:
//   kernel handles  its entries in the system handle table (NtQuerySystemInformation,
//                   SystemExtendedHandleInformation; GetProcessHandleCount gives 0 here)
//   GDI objects     live entries of the GDI handle table it publishes in its PEB
//                   (GetGuiResources gives 0 here)
//   windows         its top-level windows and their descendants (the USER objects a
//                   leak would pile up)
//   memory          its resident peak and present size, from /proc on the Unix side
// The end counts may exceed the first by at most the margins below: a leak of one object
// per cycle would pass them after a few cycles.
// The update dialog opens once per run of the program (its check runs once), so its
// repeated openings are not part of this soak.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>

#include "engine/Network.h"
#include "hostile/HostileSupport.h"
#include "platform/win32/WmiNetworkInventory.h"
#include "ui/ProcessResources.h"
#include "ui/UiDriver.h"

namespace {

using namespace zx::ui;
using namespace zx::hostile;
using zx::TControlId;

constexpr int kCycles = 50;
constexpr int kCardSwitchesPerCycle = 4; // 200 in all
constexpr int kDpiChanges = 20;          // in the first 20 cycles, alternating 144 and 96 dpi
constexpr std::size_t kKernelHandleMargin = 8;
constexpr std::size_t kGdiObjectMargin = 8;
constexpr std::size_t kWindowMargin = 0;
constexpr std::size_t kResidentMarginKb = 16 * 1024;

// WM_DPICHANGED carries a pointer to the suggested frame: it is placed in the program's
// own memory, where its window procedure reads it.
class TRemoteRect {
public:
    explicit TRemoteRect(HANDLE process)
        : FProcess(process),
          FAddress(::VirtualAllocEx(process, nullptr, sizeof(RECT), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {}
    ~TRemoteRect() {
        if (FAddress) ::VirtualFreeEx(FProcess, FAddress, 0, MEM_RELEASE);
    }
    TRemoteRect(const TRemoteRect&) = delete;
    TRemoteRect& operator=(const TRemoteRect&) = delete;

    LPARAM Holding(const RECT& rect) {
        SIZE_T written = 0;
        ::WriteProcessMemory(FProcess, FAddress, &rect, sizeof(rect), &written);
        return reinterpret_cast<LPARAM>(FAddress);
    }

private:
    HANDLE FProcess;
    void* FAddress;
};

class ResourceSoak : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(std::getenv("WINEPREFIX"), nullptr) << "run inside tools/wine-session";
        ResetSettings();
        ResetPeers();
    }
    void TearDown() override {
        if (FProgram) FProgram->Kill();
        ResetSettings();
    }

    std::optional<TProgram> FProgram;
};

void Print(const char* when, const TResourceCounts& counts, const TMemoryFigures& memory) {
    std::printf("[soak] %-12s kernel handles %4zu  GDI objects %4zu  windows %3zu  resident %6zu kB (peak %6zu kB)\n",
                when, counts.KernelHandles, counts.GdiObjects, counts.Windows, memory.NowKb, memory.PeakKb);
}

TEST_F(ResourceSoak, CountsAfterTheFirstCycleHoldToTheEnd) {
    {
        zx::TWmiNetworkInventory inventory;
        std::u16string name, guid, ip;
        ASSERT_TRUE(zx::FindActiveAdapter(inventory, name, guid, ip)) << "Run needs the machine's adapter";
    }
    WriteControl("probe", "answer", "");
    ASSERT_TRUE(WaitUntil([] {
        return ::GetFileAttributesA((ControlFolder("probe") + "/listening").c_str()) != INVALID_FILE_ATTRIBUTES;
    }));
    FProgram.emplace(TProgram::Start(ZX_HOSTILE_MAIN_EXE));
    const HWND window = WaitForMainWindow(FProgram->Id());
    ASSERT_NE(window, nullptr);
    // The update check's one request is answered (no update) before counting starts.
    ASSERT_TRUE(WaitUntil([] { return UpdateRequestCount() > 0; }, 15000));
    ::Sleep(500);

    const HWND run = FindControl(window, TControlId::BtnStart);
    const HWND home = FindControl(window, TControlId::BtnHome);
    const HWND config = FindControl(window, TControlId::BtnConfig);
    TRemoteRect suggested(FProgram->Handle());
    RECT frame{};
    ::GetWindowRect(window, &frame);
    const LONG width = frame.right - frame.left, height = frame.bottom - frame.top;

    std::optional<TResourceCounts> first;
    std::optional<TMemoryFigures> firstMemory;
    const auto start = std::chrono::steady_clock::now();
    for (int cycle = 0; cycle < kCycles; ++cycle) {
        for (int i = 0; i < kCardSwitchesPerCycle; ++i) Click(i % 2 == 0 ? config : home);
        ASSERT_TRUE(IsShown(FindControl(window, TControlId::Card1))) << "cycle " << cycle;

        Click(run);
        ASSERT_TRUE(WaitUntil([&] { return WindowText(run) == L"Running"; }, 15000)) << "cycle " << cycle;
        Click(run);
        ASSERT_TRUE(WaitUntil([&] { return WindowText(run) == L"Run"; }, 15000)) << "cycle " << cycle;

        if (cycle < kDpiChanges) {
            const UINT dpi = cycle % 2 == 0 ? 144 : 96;
            const LONG scale = static_cast<LONG>(dpi);
            const RECT rect{10, 20, 10 + width * scale / 96, 20 + height * scale / 96};
            DWORD_PTR ignored = 0;
            ASSERT_NE(::SendMessageTimeoutW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), suggested.Holding(rect),
                                            SMTO_ABORTIFHUNG, 5000, &ignored),
                      0);
            ::GetWindowRect(window, &frame);
            ASSERT_EQ(frame.left, 10) << "the suggested frame did not reach the window";
            // The window sizes itself for the new scale, near the suggestion.
            ASSERT_NEAR(frame.right - frame.left, rect.right - rect.left, 8 * scale / 96);
        }

        if (cycle == 0) {
            first = ResourceCountsOf(FProgram->Handle(), FProgram->Id());
            firstMemory = UnixMemoryOf(ZX_HOSTILE_MAIN_EXE);
            ASSERT_TRUE(first && firstMemory) << "the counts cannot be read";
            ASSERT_GT(first->KernelHandles, 0u);
            ASSERT_GT(first->GdiObjects, 0u);
            ASSERT_GT(first->Windows, 0u);
            Print("first cycle", *first, *firstMemory);
        }
    }
    // The last DPI change left the window at 96 dpi, as after the first cycle at 144 it
    // was not: give the end its own settling moment.
    ::Sleep(500);
    const auto last = ResourceCountsOf(FProgram->Handle(), FProgram->Id());
    const auto lastMemory = UnixMemoryOf(ZX_HOSTILE_MAIN_EXE);
    ASSERT_TRUE(last && lastMemory);
    Print("end", *last, *lastMemory);
    std::printf("[soak] %d cycles in %.1f s\n", kCycles,
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());

    EXPECT_LE(last->KernelHandles, first->KernelHandles + kKernelHandleMargin);
    EXPECT_LE(last->GdiObjects, first->GdiObjects + kGdiObjectMargin);
    EXPECT_LE(last->Windows, first->Windows + kWindowMargin);
    EXPECT_LE(lastMemory->NowKb, firstMemory->NowKb + kResidentMarginKb);
}

} // namespace
