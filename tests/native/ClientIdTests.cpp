#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "kit/ClientId.h"
#include "native/ShowText.h"
#include "platform/memory/MemoryRegistry.h"

namespace zx {
namespace {

// A clock that records the order of its reads.
class TFixedClock final : public ILocalClock {
public:
    TFixedClock(TLocalDate date, TLocalTimeOfDay time) : FDate(date), FTime(time) {}
    TLocalDate Today() override {
        Reads.push_back('d');
        return FDate;
    }
    TLocalTimeOfDay TimeOfDay() override {
        Reads.push_back('t');
        return FTime;
    }
    std::string Reads;

private:
    TLocalDate FDate;
    TLocalTimeOfDay FTime;
};

// Gives scripted draws (each clipped below its bound) and records the bounds asked for.
class TScriptedRandom final : public IRandomSource {
public:
    explicit TScriptedRandom(std::deque<std::uint32_t> draws) : FDraws(std::move(draws)) {}
    std::uint32_t Below(std::uint32_t bound) override {
        Bounds.push_back(bound);
        const std::uint32_t draw = FDraws.empty() ? 0 : FDraws.front();
        if (!FDraws.empty()) FDraws.pop_front();
        return std::min(draw, bound - 1);
    }
    std::vector<std::uint32_t> Bounds;

private:
    std::deque<std::uint32_t> FDraws;
};

TEST(NewClientIdTest, FieldsComeInOrderFromThreeDrawsTheDateAndTheTime) {
    struct Case {
        TLocalDate date;
        TLocalTimeOfDay time;
        std::deque<std::uint32_t> draws;
        std::u16string expected;
    };
    const Case cases[] = {
        {{2005, 1, 9},
         {7, 3, 4},
         {0x1A2B3C, 0xBEEF, 0x7FFFFFFE},
         u"001A2B3C"
         u"050109"
         u"BEEF"
         u"070304"
         u"7FFFFFFE"},
        {{2026, 12, 31},
         {23, 59, 59},
         {0, 0, 0},
         u"00000000"
         u"261231"
         u"0000"
         u"235959"
         u"00000000"},
        {{1999, 10, 1},
         {0, 0, 0},
         {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF},
         u"7FFFFFFE"
         u"991001"
         u"FFFE"
         u"000000"
         u"7FFFFFFE"},
    };
    for (const auto& c : cases) {
        TFixedClock clock(c.date, c.time);
        TScriptedRandom random(c.draws);
        const std::u16string id = NewClientID(clock, random);
        EXPECT_EQ(id, c.expected) << Show(id);
        EXPECT_EQ(random.Bounds, (std::vector<std::uint32_t>{0x7FFFFFFF, 0xFFFF, 0x7FFFFFFF}));
        EXPECT_EQ(clock.Reads, "dt"); // date before time
    }
}

TEST(NewClientIdTest, SeededGeneratorStaysWithinTheFieldBounds) {
    TFixedClock clock({2005, 1, 9}, {7, 3, 4});
    TSeededRandom random(12345);
    for (int i = 0; i < 2000; ++i) {
        const std::u16string id = NewClientID(clock, random);
        ASSERT_EQ(id.size(), 32u);
        for (const char16_t c : id) ASSERT_TRUE((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F')) << Show(id);
        ASSERT_LE(id[0], u'7');
        ASSERT_LE(id[24], u'7');
        ASSERT_NE(id.substr(14, 4), u"FFFF");
    }
}

class GetClientIdTest : public ::testing::Test {
protected:
    std::optional<TRegValue> Stored() {
        const auto key = Registry.OpenKey(kRootCurrentUser, u"Software\\Moravel", kKeyRead);
        return key ? key->QueryValue(u"KUID") : std::nullopt;
    }
    void Store(const TRegValue& value) {
        ASSERT_EQ(Registry.CreateKey(kRootCurrentUser, u"Software\\Moravel", kKeyAllAccess)->SetValue(u"KUID", value),
                  kRegSuccess);
    }

    TMemoryRegistry Registry;
    TFixedClock Clock{{2005, 1, 9}, {7, 3, 4}};
    TScriptedRandom Random{{1, 2, 3}};
};

TEST_F(GetClientIdTest, AbsentKeyAndValueAreCreatedOnceAndThenReused) {
    const std::u16string id = GetClientID(Registry, Clock, Random);
    EXPECT_EQ(id,
              u"00000001"
              u"050109"
              u"0002"
              u"070304"
              u"00000003");
    EXPECT_EQ(Stored(), StringValue(id));
    EXPECT_EQ(GetClientID(Registry, Clock, Random), id);
    EXPECT_EQ(Random.Bounds.size(), 3u); // no second identifier was made
}

TEST_F(GetClientIdTest, ExistingValuesAreReadAsTheyAreAndNeverOverwritten) {
    struct Case {
        const char* why;
        TRegValue stored;
        std::u16string expected;
    };
    const Case cases[] = {
        {"foreign text used unchanged", StringValue(u"not-ours"), u"not-ours"},
        {"empty text means no identifier", StringValue(u""), u""},
        {"expand-sz not expanded", StringValue(u"%USERPROFILE%x", kRegExpandSz), u"%USERPROFILE%x"},
        {"dword gives nothing", DwordValue(7), u""},
        {"binary gives nothing", TRegValue{kRegBinary, {0x41, 0}}, u""},
        // The identifier goes out as a header line: a line break would end it there and
        // let the stored text add headers of its own.
        {"CR LF and a header: nothing sent", StringValue(u"ABC\r\nX-Injected: 1"), u""},
        {"a lone LF", StringValue(u"ABC\nX"), u""},
        {"a tab", StringValue(u"AB\tC"), u""},
        {"DEL", StringValue(u"AB\u007F"), u""},
        {"a C1 control", StringValue(u"AB\u0085C"), u""},
        {"spaces, punctuation and letters of any script unchanged", StringValue(u"a b:c-\u00E9\uD55C"),
         u"a b:c-\u00E9\uD55C"},
    };
    for (const auto& c : cases) {
        Store(c.stored);
        EXPECT_EQ(GetClientID(Registry, Clock, Random), c.expected) << c.why;
        EXPECT_EQ(Stored(), c.stored) << c.why;
    }
    EXPECT_TRUE(Random.Bounds.empty());
}

TEST_F(GetClientIdTest, UnwritableKeyGivesTheEmptyIdentifier) {
    Registry.DenyAccess(kRootCurrentUser, u"Software\\Moravel");
    EXPECT_EQ(GetClientID(Registry, Clock, Random), u"");
}

} // namespace
} // namespace zx
