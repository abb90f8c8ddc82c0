// The controls the window makes after its first frame: what the behaviour sets on them
// before is kept, handed over once, and the window's own controls are left alone.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "app/DeferredControls.h"

namespace zx {
namespace {

constexpr TControlId kBox = TControlId::ChkTcpNoDelay;
constexpr TControlId kOtherBox = TControlId::ChkTCPAckFrequency;
constexpr TControlId kMadeAtOnce = TControlId::LblVersion;

TDeferredControls TwoBoxesPutOff() {
    TDeferredControls deferred;
    deferred.Defer(kBox, {u"TcpNoDelay", false, true, true});
    deferred.Defer(kOtherBox, {u"TcpAckFrequency", false, true, false});
    return deferred;
}

TEST(DeferredControls, WritesBeforeCreationAreKeptWithTheLastOneWinning) {
    TDeferredControls deferred = TwoBoxesPutOff();
    deferred.SetCaption(kBox, u"first");
    deferred.SetCaption(kBox, u"TCPNoDelay");
    deferred.SetChecked(kBox, true);
    deferred.SetChecked(kBox, false);
    deferred.SetChecked(kBox, true);
    deferred.SetEnabled(kBox, false);
    deferred.SetVisible(kOtherBox, true);
    deferred.SetVisible(kOtherBox, false);
    deferred.SetVisible(kOtherBox, true);

    EXPECT_EQ(deferred.Caption(kBox), std::u16string(u"TCPNoDelay"));
    EXPECT_EQ(deferred.Checked(kBox), true);
    EXPECT_EQ(deferred.Checked(kOtherBox), false) << "each control keeps its own state";

    const std::map<TControlId, TPendingControl> expected = {
        {kOtherBox, {u"TcpAckFrequency", false, true, true}},
        {kBox, {u"TCPNoDelay", true, false, true}},
    };
    EXPECT_EQ(deferred.HandOver(), expected);
}

TEST(DeferredControls, HandedOverOnceAndNothingIsPendingAfterwards) {
    TDeferredControls deferred = TwoBoxesPutOff();
    const auto handed = deferred.HandOver();
    ASSERT_EQ(handed.size(), 2U);
    EXPECT_EQ(handed.at(kBox), (TPendingControl{u"TcpNoDelay", false, true, true}));

    // Once made, the window sets the controls itself: nothing is kept or answered here.
    deferred.SetCaption(kBox, u"later");
    deferred.SetChecked(kBox, true);
    deferred.SetEnabled(kBox, false);
    deferred.SetVisible(kBox, false);
    EXPECT_EQ(deferred.Caption(kBox), std::nullopt);
    EXPECT_EQ(deferred.Checked(kBox), std::nullopt);
    EXPECT_TRUE(deferred.HandOver().empty()) << "a second hand-over applies nothing again";
}

TEST(DeferredControls, ControlsThatWereNeverPutOffAreLeftAlone) {
    TDeferredControls deferred = TwoBoxesPutOff();
    deferred.SetCaption(kMadeAtOnce, u"1.0.0.0");
    deferred.SetChecked(kMadeAtOnce, true);
    EXPECT_EQ(deferred.Caption(kMadeAtOnce), std::nullopt);
    EXPECT_EQ(deferred.Checked(kMadeAtOnce), std::nullopt);
    EXPECT_FALSE(deferred.HandOver().contains(kMadeAtOnce));
}

} // namespace
} // namespace zx
