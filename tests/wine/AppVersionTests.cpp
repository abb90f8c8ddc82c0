#include <gtest/gtest.h>

#include "platform/win32/AppVersion.h"

TEST(AppVersion, ReadsTheVersionResourceOrFallsBack) {
    // The programs carry the project version; this test executable carries none.
    EXPECT_EQ(zx::GetFileVersionText(ZEPHYRIX_EXE_PATH), ZEPHYRIX_VERSION_TEXT_U);
    EXPECT_EQ(zx::GetFileVersionText(ZEPHYRIX_SERVICE_EXE_PATH, u"%d-%d"), ZEPHYRIX_VERSION_MAJOR_MINOR_U);
    EXPECT_EQ(zx::GetAppVersion(u"%d.%d.%d.%d"), u"0.0.0.0");
    EXPECT_EQ(zx::GetFileVersionText(u"C:\\no\\such\\file.exe"), u"0.0.0.0");
    EXPECT_EQ(zx::GetFileVersionText(u"C:\\windows\\win.ini", u"%d"), u"0.0.0.0");
}
