// import_patch.cpp - patching the test program's import table, and the
// recorders built on it.
#include "support/import_patch.h"

#include <ostream>
#include <set>

namespace {

// The import-table slot of the running executable that holds `address`.
// Slots are matched by the address the loader put there, so a function the
// DLL forwards elsewhere is found as well. IMAGE_NT_HEADERS and
// IMAGE_THUNK_DATA are the 32-bit or the 64-bit layout, as the build is.
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
decltype(&SetTimer) realSetTimer;
decltype(&KillTimer) realKillTimer;

UINT_PTR WINAPI RecordSetTimer(HWND window, UINT_PTR id, UINT period, TIMERPROC procedure)
{
    timerCalls.push_back({true, window, id, period});
    return realSetTimer(window, id, period, procedure);
}

BOOL WINAPI RecordKillTimer(HWND window, UINT_PTR id)
{
    timerCalls.push_back({false, window, id, 0});
    return realKillTimer(window, id);
}

} // namespace

TimerCallRecorder::TimerCallRecorder()
    : setPatch("user32.dll", "SetTimer", RecordSetTimer, &realSetTimer),
      killPatch("user32.dll", "KillTimer", RecordKillTimer, &realKillTimer)
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
decltype(&SystemParametersInfoA) realSystemParametersInfoA;

BOOL WINAPI RecordSystemParametersInfoA(UINT action, UINT uiParam, void *pvParam, UINT winIni)
{
    SystemParameterCall call = {action, uiParam, pvParam, winIni, 0, 0};
    if ((action == SPI_SETANIMATION || action == SPI_GETANIMATION) && pvParam) {
        const auto *animation = static_cast<const ANIMATIONINFO *>(pvParam);
        call.animationSize = animation->cbSize;
        call.animationMinimize = animation->iMinAnimate;
    }
    parameterCalls.push_back(call);
    return realSystemParametersInfoA(action, uiParam, pvParam, winIni);
}

} // namespace

SystemParameterRecorder::SystemParameterRecorder()
    : patch("user32.dll", "SystemParametersInfoA", RecordSystemParametersInfoA, &realSystemParametersInfoA)
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
decltype(&RegSetValueExA) realRegSetValueExA;

LONG WINAPI RecordRegSetValueExA(HKEY key, const char *valueName, DWORD reserved, DWORD type,
                                 const BYTE *data, DWORD size)
{
    RegistrySetCall call;
    call.valueName = valueName ? valueName : "";
    call.type = type;
    if (data)
        call.data.assign(data, data + size);
    registryCalls.push_back(call);
    return realRegSetValueExA(key, valueName, reserved, type, data, size);
}

} // namespace

RegistrySetRecorder::RegistrySetRecorder()
    : patch("advapi32.dll", "RegSetValueExA", RecordRegSetValueExA, &realRegSetValueExA)
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

// --- Registry keys ----------------------------------------------------------------

namespace {

std::set<HKEY> openKeys;
int keysOpened;
decltype(&RegOpenKeyExA) realRegOpenKeyExA;
decltype(&RegCreateKeyExA) realRegCreateKeyExA;
decltype(&RegCloseKey) realRegCloseKey;

// Notes the key an open or create call has opened, if it succeeded.
LONG NoteOpenedKey(LONG result, const HKEY *key)
{
    if (result == ERROR_SUCCESS) {
        openKeys.insert(*key);
        ++keysOpened;
    }
    return result;
}

LONG WINAPI RecordRegOpenKeyExA(HKEY root, LPCSTR path, DWORD options, REGSAM access, PHKEY key)
{
    return NoteOpenedKey(realRegOpenKeyExA(root, path, options, access, key), key);
}

LONG WINAPI RecordRegCreateKeyExA(HKEY root, LPCSTR path, DWORD reserved, LPSTR keyClass, DWORD options,
                                  REGSAM access, LPSECURITY_ATTRIBUTES security, PHKEY key, LPDWORD disposition)
{
    return NoteOpenedKey(
        realRegCreateKeyExA(root, path, reserved, keyClass, options, access, security, key, disposition), key);
}

LONG WINAPI RecordRegCloseKey(HKEY key)
{
    openKeys.erase(key);
    return realRegCloseKey(key);
}

} // namespace

RegistryKeyRecorder::RegistryKeyRecorder()
    : openPatch("advapi32.dll", "RegOpenKeyExA", RecordRegOpenKeyExA, &realRegOpenKeyExA),
      createPatch("advapi32.dll", "RegCreateKeyExA", RecordRegCreateKeyExA, &realRegCreateKeyExA),
      closePatch("advapi32.dll", "RegCloseKey", RecordRegCloseKey, &realRegCloseKey)
{
    openKeys.clear();
    keysOpened = 0;
}

int RegistryKeyRecorder::Opened() const
{
    return keysOpened;
}

size_t RegistryKeyRecorder::LeftOpen() const
{
    return openKeys.size();
}

// --- Global memory -----------------------------------------------------------------

namespace {

std::vector<SIZE_T> allocationSizes;
std::set<HGLOBAL> heldBlocks;
SIZE_T allocationPadding;
decltype(&GlobalAlloc) realGlobalAlloc;
decltype(&GlobalReAlloc) realGlobalReAlloc;
decltype(&GlobalFree) realGlobalFree;

HGLOBAL WINAPI RecordGlobalAlloc(UINT flags, SIZE_T bytes)
{
    allocationSizes.push_back(bytes);
    HGLOBAL block = realGlobalAlloc(flags, bytes + allocationPadding);
    if (!block)
        return nullptr;
    if (!(flags & GMEM_MOVEABLE))
        FillMemory(static_cast<BYTE *>(block) + bytes, allocationPadding, 'X');
    heldBlocks.insert(block);
    return block;
}

HGLOBAL WINAPI RecordGlobalReAlloc(HGLOBAL block, SIZE_T bytes, UINT flags)
{
    HGLOBAL moved = realGlobalReAlloc(block, bytes, flags);
    if (moved && heldBlocks.erase(block))
        heldBlocks.insert(moved);
    return moved;
}

HGLOBAL WINAPI RecordGlobalFree(HGLOBAL block)
{
    heldBlocks.erase(block);
    return realGlobalFree(block);
}

} // namespace

GlobalMemoryRecorder::GlobalMemoryRecorder(SIZE_T padding)
    : allocPatch("kernel32.dll", "GlobalAlloc", RecordGlobalAlloc, &realGlobalAlloc),
      reallocPatch("kernel32.dll", "GlobalReAlloc", RecordGlobalReAlloc, &realGlobalReAlloc),
      freePatch("kernel32.dll", "GlobalFree", RecordGlobalFree, &realGlobalFree)
{
    allocationSizes.clear();
    heldBlocks.clear();
    allocationPadding = padding;
}

const std::vector<SIZE_T> &GlobalMemoryRecorder::Allocations() const
{
    return allocationSizes;
}

size_t GlobalMemoryRecorder::Held() const
{
    return heldBlocks.size();
}

// --- GDI refusals -------------------------------------------------------------------

namespace {

decltype(&CreateCompatibleDC) realCreateCompatibleDC;
decltype(&CreateCompatibleBitmap) realCreateCompatibleBitmap;

// Whether this call is the one to refuse; the refusal is then used up.
bool Refuse(GdiRefusal::Call call)
{
    if (GdiRefusal::refuseNext != call)
        return false;
    GdiRefusal::refuseNext = GdiRefusal::NOTHING;
    ++GdiRefusal::refused;
    return true;
}

HDC WINAPI RefusingCreateCompatibleDC(HDC dc)
{
    return Refuse(GdiRefusal::MEMORY_DC) ? nullptr : realCreateCompatibleDC(dc);
}

HBITMAP WINAPI RefusingCreateCompatibleBitmap(HDC dc, int width, int height)
{
    return Refuse(GdiRefusal::BITMAP) ? nullptr : realCreateCompatibleBitmap(dc, width, height);
}

} // namespace

GdiRefusal::GdiRefusal()
    : dcPatch("gdi32.dll", "CreateCompatibleDC", RefusingCreateCompatibleDC, &realCreateCompatibleDC),
      bitmapPatch("gdi32.dll", "CreateCompatibleBitmap", RefusingCreateCompatibleBitmap, &realCreateCompatibleBitmap)
{
    refuseNext = NOTHING;
    refused = 0;
}
