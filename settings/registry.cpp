// registry.cpp - the registry operations every registry setting passes
// through, the deletion of the stored Start menu order, and the bounded
// decimal parse of stored texts. The program's only registry calls are here.
#include "settings/registry.h"

#include <climits>

// The value's type is handed back but never decides anything: other tools
// store the same flag as REG_DWORD or as fewer REG_BINARY bytes, and every
// such form must read as the number its bytes hold.
int RegistryGet(HKEY root, const char *keyPath, const char *valueName, DWORD *type, BYTE *data,
                DWORD *size)
{
    HKEY key;
    if (RegOpenKeyExA(root, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    const LONG queried = RegQueryValueExA(key, valueName, nullptr, type, data, size);
    RegCloseKey(key);
    return queried == ERROR_SUCCESS ? 1 : 0;
}

int RegistryPut(HKEY root, const char *keyPath, const char *valueName, DWORD type,
                const BYTE *data, DWORD size)
{
    HKEY key;
    DWORD disposition;
    if (RegCreateKeyExA(root, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                        &key, &disposition) != ERROR_SUCCESS)
        return 0;
    const LONG set = RegSetValueExA(key, valueName, 0, type, data, size);
    RegCloseKey(key);
    return set == ERROR_SUCCESS ? 1 : 0;
}

int RegistryDelete(HKEY root, const char *keyPath, const char *valueName)
{
    HKEY key;
    // Opened, never created: without the key there is nothing to delete.
    if (RegOpenKeyExA(root, keyPath, 0, KEY_WRITE, &key) != ERROR_SUCCESS)
        return 0;
    const LONG deleted = RegDeleteValueA(key, valueName);
    RegCloseKey(key);
    return deleted == ERROR_SUCCESS ? 1 : 0;
}

namespace {

bool IsBlank(BYTE c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(BYTE c)
{
    return c >= '0' && c <= '9';
}

} // namespace

LONG ParseDecimal(const BYTE *data, DWORD size)
{
    // A stored text may fill the whole buffer without a terminating zero, so
    // the byte count bounds the scan, not a zero.
    if (size > REGISTRY_BUFFER_SIZE)
        size = REGISTRY_BUFFER_SIZE;

    DWORD at = 0;
    while (at < size && IsBlank(data[at]))
        ++at;

    bool negative = false;
    if (at < size && (data[at] == '+' || data[at] == '-')) {
        negative = data[at] == '-';
        ++at;
    }

    // Accumulate the magnitude in 64 bits and stop growing it once it is past
    // the 32-bit range: any further digits only confirm the clamp.
    const long long limit = negative ? -static_cast<long long>(LONG_MIN) : LONG_MAX;
    long long magnitude = 0;
    for (; at < size && IsDigit(data[at]); ++at) {
        if (magnitude <= limit)
            magnitude = magnitude * 10 + (data[at] - '0');
    }
    if (magnitude > limit)
        magnitude = limit;
    return static_cast<LONG>(negative ? -magnitude : magnitude);
}
