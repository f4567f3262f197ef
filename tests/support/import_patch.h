// import_patch.h - records the platform calls the program's code makes, by
// pointing an entry of the test program's own import table at a recorder that
// notes the arguments and passes the call on. The program's code is linked
// into the test program, so its calls go through that table; nothing in the
// program changes.
#pragma once

#include "platform/platform.h"

#include <iosfwd>
#include <string>
#include <vector>

// Replaces the import of `function` from `dll` in the running executable's
// import table with `replacement` while the object lives, and puts the
// original back when it is destroyed; `*real` receives the real function, to
// which the replacement passes the call on. The replacement must have exactly
// the type of `*real`, decltype(&SetTimer) say, calling convention included:
// a 32-bit WINAPI function removes its arguments from the stack itself, so a
// replacement that did not would corrupt its caller's stack. The table is read
// with the build's own PE types: PE32 for i686, PE32+ for x86-64.
class ImportPatch {
public:
    template <typename Function>
    ImportPatch(const char *dll, const char *function, Function replacement, Function *real)
        : ImportPatch(dll, function, reinterpret_cast<void *>(replacement))
    {
        *real = reinterpret_cast<Function>(original);
    }
    ~ImportPatch();
    ImportPatch(const ImportPatch &) = delete;
    ImportPatch &operator=(const ImportPatch &) = delete;

    bool Installed() const { return slot != nullptr; }

private:
    ImportPatch(const char *dll, const char *function, void *replacement);

    void **slot = nullptr;
    void *original = nullptr;
};

// --- Ready-made recorders -----------------------------------------------------
// Each notes the calls made while it lives (those that record calls keep them
// in order) and passes them on. One recorder of a kind at a time; like their
// patches, they cannot be copied.

struct TimerCall {
    bool set;         // SetTimer, or KillTimer
    HWND window;
    UINT_PTR id;
    UINT period;      // SetTimer only
};

// Calls compare field by field, and print as "SetTimer(window, id, period)"
// or "KillTimer(window, id)" in a failed check.
bool operator==(const TimerCall &a, const TimerCall &b);
std::ostream &operator<<(std::ostream &out, const TimerCall &call);

// SetTimer and KillTimer.
class TimerCallRecorder {
public:
    TimerCallRecorder();

    bool Installed() const { return setPatch.Installed() && killPatch.Installed(); }
    const std::vector<TimerCall> &Calls() const;
    void Clear();

private:
    ImportPatch setPatch;
    ImportPatch killPatch;
};

struct SystemParameterCall {
    UINT action;
    UINT uiParam;
    void *pvParam;
    UINT winIni;
    // For SPI_SETANIMATION and SPI_GETANIMATION: the ANIMATIONINFO's two
    // members as they stood when the call was made.
    UINT animationSize;
    int animationMinimize;
};

// SystemParametersInfoA.
class SystemParameterRecorder {
public:
    SystemParameterRecorder();

    bool Installed() const { return patch.Installed(); }
    const std::vector<SystemParameterCall> &Calls() const;
    // The first recorded call with this action, or none.
    const SystemParameterCall *Find(UINT action) const;

private:
    ImportPatch patch;
};

struct RegistrySetCall {
    std::string valueName;
    DWORD type;
    std::vector<BYTE> data; // exactly the bytes passed: `size` of them
};

// RegSetValueExA.
class RegistrySetRecorder {
public:
    RegistrySetRecorder();

    bool Installed() const { return patch.Installed(); }
    const std::vector<RegistrySetCall> &Calls() const;
    // The first recorded call for this value name, or none.
    const RegistrySetCall *Find(const char *valueName) const;

private:
    ImportPatch patch;
};

// RegOpenKeyExA, RegCreateKeyExA and RegCloseKey: the keys opened or created
// while it lives, and those of them not closed yet.
class RegistryKeyRecorder {
public:
    RegistryKeyRecorder();

    bool Installed() const { return openPatch.Installed() && createPatch.Installed() && closePatch.Installed(); }
    int Opened() const;
    size_t LeftOpen() const;

private:
    ImportPatch openPatch;
    ImportPatch createPatch;
    ImportPatch closePatch;
};

// GlobalAlloc, GlobalReAlloc and GlobalFree: the size every GlobalAlloc asks
// for, and the blocks allocated while it lives and not freed yet (a block
// that moves when resized is followed). Blocks held before it started are
// unknown to it. With `padding`, each GlobalAlloc gets that many bytes more
// than it asks for, filled with 'X' in a fixed block: a text copied without
// room for its terminating zero runs on into them.
class GlobalMemoryRecorder {
public:
    explicit GlobalMemoryRecorder(SIZE_T padding = 0);

    bool Installed() const { return allocPatch.Installed() && reallocPatch.Installed() && freePatch.Installed(); }
    const std::vector<SIZE_T> &Allocations() const;
    size_t Held() const;

private:
    ImportPatch allocPatch;
    ImportPatch reallocPatch;
    ImportPatch freePatch;
};

// CreateCompatibleDC and CreateCompatibleBitmap: the next call of the one
// that `refuseNext` names is refused, as a full GDI heap refuses it, and
// counted in `refused`; every other call is passed on.
class GdiRefusal {
public:
    enum Call { NOTHING, MEMORY_DC, BITMAP };
    GdiRefusal();
    bool Installed() const { return dcPatch.Installed() && bitmapPatch.Installed(); }

    static inline Call refuseNext = NOTHING;
    static inline int refused = 0;

private:
    ImportPatch dcPatch;
    ImportPatch bitmapPatch;
};
