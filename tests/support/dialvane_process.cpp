// dialvane_process.cpp - driving a separate dialvane.exe from outside.
#include "support/dialvane_process.h"

#include "resource.h"

#include <tlhelp32.h>

#include <cstdlib>
#include <cstring>
#include <utility>

const char DIALVANE_MAIN_TITLE[] = "Dialvane Version 1.2";
const char DIALVANE_WAIT_TITLE[] = "Please wait";

namespace {

struct WindowSearch {
    DWORD process; // 0: any process
    const char *title;
    HWND window;
};

BOOL CALLBACK FindProcessWindow(HWND window, LPARAM lParam)
{
    WindowSearch *search = reinterpret_cast<WindowSearch *>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if ((search->process && owner != search->process) || !IsWindowVisible(window))
        return TRUE;
    char title[128] = "";
    GetWindowTextA(window, title, sizeof(title));
    if (search->title && lstrcmpA(title, search->title) != 0)
        return TRUE;
    search->window = window;
    return FALSE;
}

BOOL CALLBACK FindChildById(HWND window, LPARAM lParam)
{
    std::pair<int, HWND> *search = reinterpret_cast<std::pair<int, HWND> *>(lParam);
    if (GetDlgCtrlID(window) == search->first) {
        search->second = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

std::string DialvaneProgramPath()
{
    const char *path = getenv("DIALVANE_EXE");
    return path ? WindowsPathFromUnix(path) : std::string();
}

DialvaneProcess::~DialvaneProcess()
{
    if (!process.hProcess)
        return;
    if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
}

bool DialvaneProcess::Start(const std::string &program)
{
    std::string command = "\"" + program + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    return CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process) != FALSE;
}

HWND DialvaneProcess::Window(const char *title) const
{
    WindowSearch search = {process.dwProcessId, title, nullptr};
    EnumWindows(FindProcessWindow, reinterpret_cast<LPARAM>(&search));
    return search.window;
}

HWND DialvaneProcess::WaitForWindow(const char *title, DWORD timeoutMs) const
{
    HWND found = nullptr;
    PumpMessagesUntil([&] { return (found = Window(title)) != nullptr; }, timeoutMs);
    return found;
}

HWND DialvaneProcess::Control(HWND top, int id) const
{
    std::pair<int, HWND> search(id, nullptr);
    EnumChildWindows(top, FindChildById, reinterpret_cast<LPARAM>(&search));
    return search.second;
}

HWND DialvaneProcess::WaitUntilLoaded(DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    main = WaitForWindow(DIALVANE_MAIN_TITLE, timeoutMs);
    if (!main)
        return nullptr;
    const DWORD elapsed = GetTickCount() - start;
    const bool loaded = PumpMessagesUntil([&] {
        return !Window(DIALVANE_WAIT_TITLE) && IsWindowEnabled(main) &&
               SendMessageA(Control(main, IDC_ICON_SIZE), CB_GETCOUNT, 0, 0) > 0;
    }, elapsed < timeoutMs ? timeoutMs - elapsed : 0);
    return loaded ? main : nullptr;
}

bool DialvaneProcess::Exited(DWORD timeoutMs) const
{
    return PumpMessagesUntilSignalled(process.hProcess, timeoutMs);
}

DWORD DialvaneProcess::ExitCode() const
{
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process.hProcess, &code);
    return code;
}

HWND DialvaneProcess::FocusWindow() const
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(process.dwThreadId, &info);
    return info.hwndFocus;
}

void DialvaneProcess::PressKey(UINT vk, int downs) const
{
    const LPARAM FIRST_DOWN = 1, REPEATED_DOWN = 0x40000001, UP = 0xC0000001;
    HWND focus = FocusWindow();
    for (int down = 0; down < downs; ++down)
        PostMessageA(focus, WM_KEYDOWN, vk, down == 0 ? FIRST_DOWN : REPEATED_DOWN);
    PostMessageA(focus, WM_KEYUP, vk, UP);
}

void DialvaneProcess::Click(HWND control) const
{
    RECT r;
    GetClientRect(control, &r);
    const LPARAM middle = MAKELPARAM(r.right / 2, r.bottom / 2);
    PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, middle);
    PostMessageA(control, WM_LBUTTONUP, 0, middle);
}

std::vector<std::string> DialvaneProcess::LoadedModules() const
{
    std::vector<std::string> paths;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, process.dwProcessId);
    if (snapshot == INVALID_HANDLE_VALUE)
        return paths;
    MODULEENTRY32 module = {};
    module.dwSize = sizeof(module);
    for (BOOL more = Module32First(snapshot, &module); more; more = Module32Next(snapshot, &module))
        paths.push_back(module.szExePath);
    CloseHandle(snapshot);
    return paths;
}

bool Emulated32Bit()
{
    const char *emulated = getenv("DIALVANE_32BIT_EMULATED");
    return sizeof(void *) == sizeof(DWORD) && emulated && strcmp(emulated, "1") == 0;
}
