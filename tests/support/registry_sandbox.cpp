// registry_sandbox.cpp - saving and restoring the registry keys a test touches,
// and small registry helpers for preparing and checking values.
#include "support/test_support.h"

namespace {

using Key = RegistrySandbox::Key;

const char VOLATILITY_PROBE[] = "DialvaneSandboxProbe";
using Value = RegistrySandbox::Value;

Key SnapshotKey(HKEY parent, const std::string &path)
{
    Key key;
    HKEY handle;
    if (RegOpenKeyExA(parent, path.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return key;
    key.exists = true;

    for (DWORD index = 0;; ++index) {
        char name[16384];
        DWORD nameLength = sizeof(name);
        DWORD type = 0;
        DWORD size = 0;
        if (RegEnumValueA(handle, index, name, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            break;
        Value value;
        value.name.assign(name, nameLength);
        value.type = type;
        value.data.resize(size);
        DWORD got = size;
        RegQueryValueExA(handle, value.name.c_str(), nullptr, &type,
                         value.data.empty() ? nullptr : value.data.data(), &got);
        value.data.resize(got);
        key.values.push_back(std::move(value));
    }
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD nameLength = sizeof(name);
        if (RegEnumKeyExA(handle, index, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        std::string child(name, nameLength);
        key.subkeys.emplace_back(child, SnapshotKey(handle, child));
    }
    RegCloseKey(handle);
    return key;
}

void DeleteTree(HKEY parent, const std::string &path)
{
    HKEY handle;
    if (RegOpenKeyExA(parent, path.c_str(), 0, KEY_ALL_ACCESS, &handle) == ERROR_SUCCESS) {
        for (;;) {
            char name[256];
            DWORD nameLength = sizeof(name);
            if (RegEnumKeyExA(handle, 0, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            DeleteTree(handle, std::string(name, nameLength));
        }
        RegCloseKey(handle);
    }
    RegDeleteKeyA(parent, path.c_str());
}

// Puts a key back as it was, in place: values and subkeys that were added are
// deleted, changed ones rewritten. The key itself is kept rather than deleted
// and created again, because Wine's system-parameter code keeps open handles
// to keys such as "Control Panel\\Desktop", which would go on pointing at
// the deleted key.
//
// A key that a test made volatile cannot take its non-volatile subkeys back;
// such a key is deleted and created again. Returns false when the key itself
// cannot be created.
bool RestoreKey(HKEY parent, const std::string &path, const Key &key)
{
    if (!key.exists) {
        DeleteTree(parent, path);
        return true;
    }
    HKEY handle;
    if (RegCreateKeyExA(parent, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &handle, nullptr) != ERROR_SUCCESS)
        return false;

    std::vector<std::string> valueNames;
    for (DWORD index = 0;; ++index) {
        char name[16384];
        DWORD nameLength = sizeof(name);
        if (RegEnumValueA(handle, index, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        valueNames.emplace_back(name, nameLength);
    }
    for (const std::string &name : valueNames) {
        bool saved = false;
        for (const Value &value : key.values)
            saved = saved || value.name == name;
        if (!saved)
            RegDeleteValueA(handle, name.c_str());
    }
    for (const Value &value : key.values)
        RegSetValueExA(handle, value.name.c_str(), 0, value.type,
                       value.data.empty() ? nullptr : value.data.data(),
                       static_cast<DWORD>(value.data.size()));

    std::vector<std::string> subkeyNames;
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD nameLength = sizeof(name);
        if (RegEnumKeyExA(handle, index, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        subkeyNames.emplace_back(name, nameLength);
    }
    for (const std::string &name : subkeyNames) {
        bool saved = false;
        for (const auto &child : key.subkeys)
            saved = saved || lstrcmpiA(child.first.c_str(), name.c_str()) == 0;
        if (!saved)
            DeleteTree(handle, name);
    }
    // A volatile key refuses non-volatile children; found out with a probe.
    bool childrenRestored = true;
    HKEY probe;
    if (RegCreateKeyExA(handle, VOLATILITY_PROBE, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        &probe, nullptr) == ERROR_SUCCESS) {
        RegCloseKey(probe);
        RegDeleteKeyA(handle, VOLATILITY_PROBE);
    } else {
        childrenRestored = false;
    }
    for (const auto &child : key.subkeys)
        childrenRestored = RestoreKey(handle, child.first, child.second) && childrenRestored;
    RegCloseKey(handle);
    if (childrenRestored)
        return true;
    DeleteTree(parent, path);
    return RestoreKey(parent, path, key);
}

} // namespace

RegistrySandbox::RegistrySandbox(std::vector<std::string> keyPaths)
    : RegistrySandbox(HKEY_CURRENT_USER, std::move(keyPaths))
{
}

RegistrySandbox::RegistrySandbox(HKEY root, std::vector<std::string> keyPaths) : root(root)
{
    for (const std::string &path : keyPaths)
        saved.emplace_back(path, SnapshotKey(root, path));
}

RegistrySandbox::~RegistrySandbox()
{
    // Restore in reverse order so that a nested key saved after its parent is
    // put back over the parent's copy.
    for (auto it = saved.rbegin(); it != saved.rend(); ++it)
        RestoreKey(root, it->first, it->second);
}

bool RegKeyExists(const std::string &keyPath)
{
    HKEY handle;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    RegCloseKey(handle);
    return true;
}

void RegDeleteTreeForTest(const std::string &keyPath)
{
    DeleteTree(HKEY_CURRENT_USER, keyPath);
}

void RegWriteForTest(const std::string &keyPath, const std::string &valueName, DWORD type,
                     const void *data, DWORD size)
{
    HKEY handle;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &handle, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(handle, valueName.c_str(), 0, type, static_cast<const BYTE *>(data), size);
    RegCloseKey(handle);
}

void RegWriteStringForTest(const std::string &keyPath, const std::string &valueName,
                           const std::string &text)
{
    RegWriteForTest(keyPath, valueName, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

void RegWriteDwordForTest(const std::string &keyPath, const std::string &valueName, DWORD value)
{
    RegWriteForTest(keyPath, valueName, REG_DWORD, &value, sizeof(value));
}

void RegDeleteValueForTest(const std::string &keyPath, const std::string &valueName)
{
    HKEY handle;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_ALL_ACCESS, &handle) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(handle, valueName.c_str());
    RegCloseKey(handle);
}

std::string RegRead::Text() const
{
    std::string text;
    for (BYTE b : data) {
        if (b == 0)
            break;
        text += static_cast<char>(b);
    }
    return text;
}

RegRead RegReadForTest(const std::string &keyPath, const std::string &valueName)
{
    RegRead read;
    HKEY handle;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return read;
    DWORD size = 0;
    if (RegQueryValueExA(handle, valueName.c_str(), nullptr, &read.type, nullptr, &size) == ERROR_SUCCESS) {
        read.data.resize(size);
        if (RegQueryValueExA(handle, valueName.c_str(), nullptr, &read.type,
                             read.data.empty() ? nullptr : read.data.data(), &size) == ERROR_SUCCESS) {
            read.found = true;
            read.data.resize(size);
        }
    }
    RegCloseKey(handle);
    return read;
}

void MakeKeyUncreatable(const std::string &keyPath)
{
    const size_t slash = keyPath.rfind('\\');
    const std::string parent = keyPath.substr(0, slash);
    DeleteTree(HKEY_CURRENT_USER, parent);
    HKEY handle;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, parent.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &handle, nullptr) == ERROR_SUCCESS)
        RegCloseKey(handle);
}
