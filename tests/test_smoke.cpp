#include "support/test_support.h"
#include "resource.h"
#include <gtest/gtest.h>
TEST(Smoke, LoadsString) {
    char text[260];
    EXPECT_GT(LoadStringA(GetModuleHandleA(nullptr), IDOK, text, 260), 0);
    EXPECT_STREQ("Saves changes and closes program", text);
}
