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
// original back when it is destroyed. `Original()` is the real function,
// to which the replacement passes the call on.
class ImportPatch {
public:
    ImportPatch(const char *dll, const char *function, void *replacement);
    ~ImportPatch();
    ImportPatch(const ImportPatch &) = delete;
    ImportPatch &operator=(const ImportPatch &) = delete;

    bool Installed() const { return slot != nullptr; }
    template <typename Function> Function Original() const
    {
        return reinterpret_cast<Function>(original);
    }

private:
    void **slot = nullptr;
    void *original = nullptr;
};

// --- Ready-made recorders -----------------------------------------------------
// Each records every call made on this thread while it lives, in order, and
// passes it on. One recorder of a kind at a time.

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
    ~TimerCallRecorder();
    TimerCallRecorder(const TimerCallRecorder &) = delete;
    TimerCallRecorder &operator=(const TimerCallRecorder &) = delete;

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
    ~SystemParameterRecorder();
    SystemParameterRecorder(const SystemParameterRecorder &) = delete;
    SystemParameterRecorder &operator=(const SystemParameterRecorder &) = delete;

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
    ~RegistrySetRecorder();
    RegistrySetRecorder(const RegistrySetRecorder &) = delete;
    RegistrySetRecorder &operator=(const RegistrySetRecorder &) = delete;

    bool Installed() const { return patch.Installed(); }
    const std::vector<RegistrySetCall> &Calls() const;
    // The first recorded call for this value name, or none.
    const RegistrySetCall *Find(const char *valueName) const;

private:
    ImportPatch patch;
};
