#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "kit/Translation.h"
#include "platform/win32/ResourceData.h"
#include "platform/win32/UserLanguage.h"

namespace zx {
namespace {

// This test program carries the catalogue file as its RCDATA resource "translate", as
// the main program does.
TEST(ResourceDataTest, TheEmbeddedCatalogueComesBackByteForByte) {
    std::ifstream file(ZX_TRANSLATE_TEXT_PATH, std::ios::binary);
    ASSERT_TRUE(file) << ZX_TRANSLATE_TEXT_PATH;
    const std::vector<std::uint8_t> expected((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());

    EXPECT_EQ(LoadResourceData(u"translate"), expected);
    EXPECT_EQ(LoadResourceData(u"TRANSLATE"), expected) << "resource names ignore case";
    EXPECT_EQ(LoadResourceData(u"translate", ::GetModuleHandleW(nullptr)), expected);
}

TEST(ResourceDataTest, AMissingResourceGivesNoBytes) {
    EXPECT_TRUE(LoadResourceData(u"missing").empty());
    EXPECT_TRUE(LoadResourceData(u"translate", ::GetModuleHandleW(L"kernel32.dll")).empty());
}

TEST(ResourceDataTest, StartUpFromTheResourceTranslatesIntoTheUserLanguage) {
    StartTranslation(LoadResourceData(u"translate"), u"ja");
    EXPECT_EQ(TranslationCatalogue().Lines().size(), 167u);
    EXPECT_EQ(Translate(u"실행하기"), u"実行する");
    StopTranslation();
}

// Run with LC_ALL set to a locale and ZX_EXPECTED_LANGUAGE to its ISO 639 name.
TEST(UserLanguageTest, TheUserLocaleGivesItsLanguageName) {
    const char* expected = std::getenv("ZX_EXPECTED_LANGUAGE");
    if (!expected) GTEST_SKIP() << "ZX_EXPECTED_LANGUAGE not set";
    const std::u16string language = GetUserLanguage();
    EXPECT_EQ(std::string(language.begin(), language.end()), expected);
}

} // namespace
} // namespace zx
