// test_main.cpp - entry point of every test program: prepares what the
// program's start-up would (instance handle, common controls), then runs the
// tests.
#include "support/test_support.h"
#include "settings/settings_state.h"

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    settingsState.instance = GetModuleHandleA(nullptr);
    InitCommonControls();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
