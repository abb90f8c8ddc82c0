#include <gtest/gtest.h>

#include "kit/VersionText.h"
#include "platform/win32/AppVersion.h"

TEST(AppVersion, ReadsTheVersionResourceOrNothing) {
    // The programs carry the project version; this test executable carries none.
    EXPECT_EQ(zx::FormatVersionOrZero(u"%d.%d.%d.%d", zx::ReadFileVersion(ZEPHYRIX_EXE_PATH)), ZEPHYRIX_VERSION_TEXT_U);
    EXPECT_EQ(zx::FormatVersionOrZero(u"%d-%d", zx::ReadFileVersion(ZEPHYRIX_SERVICE_EXE_PATH)),
              ZEPHYRIX_VERSION_MAJOR_MINOR_U);
    EXPECT_EQ(zx::ReadAppVersion(), std::nullopt);
    EXPECT_EQ(zx::ReadFileVersion(u"C:\\no\\such\\file.exe"), std::nullopt);
    EXPECT_EQ(zx::ReadFileVersion(u"C:\\windows\\win.ini"), std::nullopt);
}
