// dialvane_process.h - dialvane.exe run as a separate process and used from
// outside, as a user would: its windows found by title, keys and clicks
// posted to them, its exit code read afterwards.
#pragma once

#include "support/test_support.h"

#include <string>
#include <vector>

// Titles of the program's top-level windows.
extern const char DIALVANE_MAIN_TITLE[];
extern const char DIALVANE_WAIT_TITLE[];

// The Windows path of the dialvane.exe under test (from DIALVANE_EXE), or "".
std::string DialvaneProgramPath();

class DialvaneProcess {
public:
    DialvaneProcess() = default;
    // Terminates the program if it is still running.
    ~DialvaneProcess();
    DialvaneProcess(const DialvaneProcess &) = delete;
    DialvaneProcess &operator=(const DialvaneProcess &) = delete;

    bool Start(const std::string &program = DialvaneProgramPath());
    // Works on whichever copy of the program is running, started elsewhere.
    void AttachToAnyProcess() { process = {}; }

    // A visible top-level window of the program with this title (any title
    // when null), or null.
    HWND Window(const char *title) const;
    HWND WaitForWindow(const char *title, DWORD timeoutMs) const;
    // A descendant of `top` with the given control id, or null.
    HWND Control(HWND top, int id) const;
    // The main dialog once the Loading box has come and gone and the page's
    // lists are filled; null when that does not happen within the time limit.
    HWND WaitUntilLoaded(DWORD timeoutMs);

    bool Exited(DWORD timeoutMs) const;
    DWORD ExitCode() const;

    // The full path of every module loaded in the program.
    std::vector<std::string> LoadedModules() const;

    // The window that has the keyboard focus in the program.
    HWND FocusWindow() const;
    // A key as the focused control receives it from the program's message
    // loop, where the dialog manager sees it first; held down for `downs`
    // key-downs, the later ones marked as repeats, before its one key-up.
    void PressKey(UINT vk, int downs = 1) const;
    // A left-button click in the middle of a control.
    void Click(HWND control) const;

    PROCESS_INFORMATION process = {};
    HWND main = nullptr;
};

// Whether this 32-bit program runs under qemu-user's emulation: the Wine
// scripts set DIALVANE_32BIT_EMULATED to 1 there.
bool Emulated32Bit();
