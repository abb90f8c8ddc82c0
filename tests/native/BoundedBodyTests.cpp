// Reading an answer's body as it arrives, within a size bound and a deadline.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/BoundedBody.h"

namespace zx {
namespace {

using namespace std::chrono_literals;

// A transfer whose pieces arrive one after another, recording what it was asked.
struct TFakeTransfer {
    std::vector<std::string> Pieces; // what arrives, in order
    int FailAvailableAt = -1;        // the call (0-based) of Available that fails
    bool FailRead = false;
    bool EndByEmptyRead = false; // ends with a read of 0 bytes instead of 0 available
    std::function<void()> BeforeRead{};
    std::size_t Next = 0;
    int AvailableCalls = 0;
    std::vector<TByteCount> Wanted{};

    TBodySource Source() {
        return TBodySource{
            .Available =
                [this](TByteCount& available) {
                    if (AvailableCalls++ == FailAvailableAt) return false;
                    available =
                        Next < Pieces.size() ? static_cast<TByteCount>(Pieces[Next].size()) : (EndByEmptyRead ? 1 : 0);
                    return true;
                },
            .Read =
                [this](char* into, TByteCount wanted, TByteCount& read) {
                    Wanted.push_back(wanted);
                    if (BeforeRead) BeforeRead();
                    if (FailRead) return false;
                    read = 0;
                    if (Next == Pieces.size()) return true;
                    std::string& piece = Pieces[Next];
                    read = static_cast<TByteCount>(std::min<std::size_t>(wanted, piece.size()));
                    std::memcpy(into, piece.data(), read);
                    piece.erase(0, read);
                    if (piece.empty()) ++Next;
                    return true;
                },
        };
    }
};

TDeadline Later() {
    return std::chrono::steady_clock::now() + 10s;
}

TEST(BoundedBody, ReadsThePiecesAsTheyArriveUntilTheEnd) {
    struct TCase {
        const char* Name;
        std::vector<std::string> Pieces;
        bool EndByEmptyRead;
        std::optional<std::string> Expected;
    } const cases[] = {
        {"no body", {}, false, std::string()},
        {"pieces, then nothing available", {"ok", "a", "y"}, false, std::string("okay")},
        {"pieces, then a read of nothing", {"ab", "c"}, true, std::string("abc")},
        {"exactly the bound", {"12345", "678"}, false, std::string("12345678")},
        {"past the bound: cut one byte past it", {"12345", "6789", "0"}, false, std::string("123456789")},
    };
    for (const auto& c : cases) {
        TFakeTransfer transfer{.Pieces = c.Pieces, .EndByEmptyRead = c.EndByEmptyRead};
        EXPECT_EQ(ReadBoundedBody(transfer.Source(), 8, Later()), c.Expected) << c.Name;
    }
}

TEST(BoundedBody, AsksOnlyForWhatHasArrivedAndNoMoreThanOnePastTheBound) {
    TFakeTransfer transfer{.Pieces = {"abc", "defghijklmnop"}};
    const auto body = ReadBoundedBody(transfer.Source(), 5, Later());
    EXPECT_EQ(body, std::string("abcdef"));
    EXPECT_EQ(transfer.Wanted, (std::vector<TByteCount>{3, 3}));
}

TEST(BoundedBody, FailuresAndTheDeadlineGiveNothing) {
    TFakeTransfer first{.Pieces = {"abc"}, .FailAvailableAt = 0};
    EXPECT_EQ(ReadBoundedBody(first.Source(), 8, Later()), std::nullopt) << "the first query fails";
    TFakeTransfer later{.Pieces = {"abc", "def"}, .FailAvailableAt = 1};
    EXPECT_EQ(ReadBoundedBody(later.Source(), 8, Later()), std::nullopt) << "a later query fails";
    TFakeTransfer read{.Pieces = {"abc"}, .FailRead = true};
    EXPECT_EQ(ReadBoundedBody(read.Source(), 8, Later()), std::nullopt) << "a read fails";

    TFakeTransfer passed{.Pieces = {"abc"}};
    EXPECT_EQ(ReadBoundedBody(passed.Source(), 8, std::chrono::steady_clock::now() - 1ms), std::nullopt);
    EXPECT_EQ(passed.AvailableCalls, 0) << "nothing is asked once the deadline has passed";

    // A peer that keeps sending, slowly: the body fails as a whole at the deadline.
    const TDeadline deadline = std::chrono::steady_clock::now() + 50ms;
    TFakeTransfer dripping{.Pieces = {"a", "b", "c"}};
    dripping.BeforeRead = [deadline] { std::this_thread::sleep_until(deadline + 1ms); };
    EXPECT_EQ(ReadBoundedBody(dripping.Source(), 8, deadline), std::nullopt);
    EXPECT_EQ(dripping.Wanted.size(), 1U) << "no read after the deadline";
}

} // namespace
} // namespace zx
