// test_main.cpp - entry point of every test program: prepares what the
// program's start-up would (instance handle, common controls), then runs the
// tests.
#include "support/import_patch.h"
#include "support/test_support.h"
#include "settings/settings_state.h"

#include <gtest/gtest.h>

namespace {

// GoogleTest copies every failure and skip it prints to the debugger through
// OutputDebugStringA. Under qemu-user's emulation of a 32-bit process, Wine
// dies in that call when GoogleTest makes it (a five-line test program that
// fails one check shows it), taking the failure's report and every later test
// with it. The text is on standard output already, so the copy is dropped.
void WINAPI NoDebuggerCopy(LPCSTR)
{
}

} // namespace

int main(int argc, char **argv)
{
    decltype(&OutputDebugStringA) debuggerCopy = nullptr;
    ImportPatch quiet("kernel32.dll", "OutputDebugStringA", &NoDebuggerCopy, &debuggerCopy);
    settingsState.instance = GetModuleHandleA(nullptr);
    InitCommonControls();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
