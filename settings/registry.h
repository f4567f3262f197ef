// registry.h - reading, writing and deleting one registry value, and reading
// decimal texts the way the settings store them.
#pragma once

#include "platform/platform.h"

// Capacity of the buffer every settings read uses, in bytes.
enum { REGISTRY_BUFFER_SIZE = 1024 };

// Opens `keyPath` under `root` for reading, queries `valueName` into `type`,
// `data` and `size` (capacity in, byte count out) and closes the key.
// Returns 1 on success, 0 when the key cannot be opened or the value cannot be
// queried (absent, or larger than the capacity); on a failed open nothing is
// touched.
int RegistryGet(HKEY root, const char *keyPath, const char *valueName, DWORD *type, BYTE *data,
                DWORD *size);

// Creates or opens `keyPath` under `root` (creating missing keys along the
// path), sets `valueName` to `size` bytes of `data` of registry type `type`
// and closes the key. Returns 1 when the value was set, 0 when the key could
// not be created or the value could not be set.
int RegistryPut(HKEY root, const char *keyPath, const char *valueName, DWORD type,
                const BYTE *data, DWORD size);

// Opens `keyPath` under `root` for writing, without ever creating it,
// deletes `valueName` and closes the key. Returns 1 when the value was
// deleted, 0 when the key or the value does not exist or cannot be changed.
int RegistryDelete(HKEY root, const char *keyPath, const char *valueName);

// Parses the first `size` bytes of `data` (never more than
// REGISTRY_BUFFER_SIZE) as a decimal integer: leading white space, one
// optional sign, then digits up to the first non-digit. No digits give 0; a
// number beyond the 32-bit range is clamped to its nearer end. The text need
// not be zero-terminated.
LONG ParseDecimal(const BYTE *data, DWORD size);
