// import_patch.cpp - patching the test program's import table, and the
// recorders built on it.
#include "support/import_patch.h"

#include <cstring>
#include <ostream>

namespace {

// The import-table slot of the running executable that holds `address`.
// Slots are matched by the address the loader put there, so a function the
// DLL forwards elsewhere is found as well.
void **FindImportSlot(void *address)
{
    auto *base = reinterpret_cast<BYTE *>(GetModuleHandleA(nullptr));
    auto *dos = reinterpret_cast<IMAGE_DOS_HEADER *>(base);
    auto *nt = reinterpret_cast<IMAGE_NT_HEADERS *>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY &directory =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!directory.VirtualAddress)
        return nullptr;
    auto *descriptor =
        reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR *>(base + directory.VirtualAddress);
    for (; descriptor->Name; ++descriptor) {
        auto *thunk = reinterpret_cast<IMAGE_THUNK_DATA *>(base + descriptor->FirstThunk);
        for (; thunk->u1.Function; ++thunk) {
            if (reinterpret_cast<void *>(thunk->u1.Function) == address)
                return reinterpret_cast<void **>(&thunk->u1.Function);
        }
    }
    return nullptr;
}

void WriteSlot(void **slot, void *value)
{
    DWORD oldProtection = 0;
    VirtualProtect(slot, sizeof(void *), PAGE_READWRITE, &oldProtection);
    *slot = value;
    VirtualProtect(slot, sizeof(void *), oldProtection, &oldProtection);
    FlushInstructionCache(GetCurrentProcess(), slot, sizeof(void *));
}

} // namespace

ImportPatch::ImportPatch(const char *dll, const char *function, void *replacement)
{
    HMODULE module = LoadLibraryA(dll);
    void *address = module ? reinterpret_cast<void *>(GetProcAddress(module, function)) : nullptr;
    if (!address)
        return;
    slot = FindImportSlot(address);
    if (!slot)
        return;
    original = *slot;
    WriteSlot(slot, replacement);
}

ImportPatch::~ImportPatch()
{
    if (slot)
        WriteSlot(slot, original);
}

// --- Timers -------------------------------------------------------------------

bool operator==(const TimerCall &a, const TimerCall &b)
{
    return a.set == b.set && a.window == b.window && a.id == b.id && a.period == b.period;
}

std::ostream &operator<<(std::ostream &out, const TimerCall &call)
{
    out << (call.set ? "SetTimer(" : "KillTimer(") << static_cast<const void *>(call.window)
        << ", " << call.id;
    if (call.set)
        out << ", " << call.period;
    return out << ")";
}

namespace {

std::vector<TimerCall> timerCalls;
const ImportPatch *setTimerPatch;
const ImportPatch *killTimerPatch;

UINT_PTR WINAPI RecordSetTimer(HWND window, UINT_PTR id, UINT period, TIMERPROC procedure)
{
    timerCalls.push_back({true, window, id, period});
    return setTimerPatch->Original<decltype(&SetTimer)>()(window, id, period, procedure);
}

BOOL WINAPI RecordKillTimer(HWND window, UINT_PTR id)
{
    timerCalls.push_back({false, window, id, 0});
    return killTimerPatch->Original<decltype(&KillTimer)>()(window, id);
}

} // namespace

TimerCallRecorder::TimerCallRecorder()
    : setPatch("user32.dll", "SetTimer", reinterpret_cast<void *>(RecordSetTimer)),
      killPatch("user32.dll", "KillTimer", reinterpret_cast<void *>(RecordKillTimer))
{
    timerCalls.clear();
    setTimerPatch = &setPatch;
    killTimerPatch = &killPatch;
}

TimerCallRecorder::~TimerCallRecorder()
{
    timerCalls.clear();
}

const std::vector<TimerCall> &TimerCallRecorder::Calls() const
{
    return timerCalls;
}

void TimerCallRecorder::Clear()
{
    timerCalls.clear();
}

// --- System parameters ----------------------------------------------------------

namespace {

std::vector<SystemParameterCall> parameterCalls;
const ImportPatch *parameterPatch;

BOOL WINAPI RecordSystemParametersInfoA(UINT action, UINT uiParam, void *pvParam, UINT winIni)
{
    SystemParameterCall call = {action, uiParam, pvParam, winIni, 0, 0};
    if ((action == SPI_SETANIMATION || action == SPI_GETANIMATION) && pvParam) {
        const auto *animation = static_cast<const ANIMATIONINFO *>(pvParam);
        call.animationSize = animation->cbSize;
        call.animationMinimize = animation->iMinAnimate;
    }
    parameterCalls.push_back(call);
    return parameterPatch->Original<decltype(&SystemParametersInfoA)>()(action, uiParam,
                                                                        pvParam, winIni);
}

} // namespace

SystemParameterRecorder::SystemParameterRecorder()
    : patch("user32.dll", "SystemParametersInfoA",
            reinterpret_cast<void *>(RecordSystemParametersInfoA))
{
    parameterCalls.clear();
    parameterPatch = &patch;
}

SystemParameterRecorder::~SystemParameterRecorder()
{
    parameterCalls.clear();
}

const std::vector<SystemParameterCall> &SystemParameterRecorder::Calls() const
{
    return parameterCalls;
}

const SystemParameterCall *SystemParameterRecorder::Find(UINT action) const
{
    for (const SystemParameterCall &call : parameterCalls) {
        if (call.action == action)
            return &call;
    }
    return nullptr;
}

// --- Registry writes --------------------------------------------------------------

namespace {

std::vector<RegistrySetCall> registryCalls;
const ImportPatch *registryPatch;

LONG WINAPI RecordRegSetValueExA(HKEY key, const char *valueName, DWORD reserved, DWORD type,
                                 const BYTE *data, DWORD size)
{
    RegistrySetCall call;
    call.valueName = valueName ? valueName : "";
    call.type = type;
    if (data)
        call.data.assign(data, data + size);
    registryCalls.push_back(call);
    return registryPatch->Original<decltype(&RegSetValueExA)>()(key, valueName, reserved, type,
                                                                data, size);
}

} // namespace

RegistrySetRecorder::RegistrySetRecorder()
    : patch("advapi32.dll", "RegSetValueExA", reinterpret_cast<void *>(RecordRegSetValueExA))
{
    registryCalls.clear();
    registryPatch = &patch;
}

RegistrySetRecorder::~RegistrySetRecorder()
{
    registryCalls.clear();
}

const std::vector<RegistrySetCall> &RegistrySetRecorder::Calls() const
{
    return registryCalls;
}

const RegistrySetCall *RegistrySetRecorder::Find(const char *valueName) const
{
    for (const RegistrySetCall &call : registryCalls) {
        if (lstrcmpiA(call.valueName.c_str(), valueName) == 0)
            return &call;
    }
    return nullptr;
}
