// test_settings_registry.cpp - RegistryGet, RegistryPut and the decimal parse
// of stored texts, against the real registry.
#include "support/import_patch.h"
#include "support/test_support.h"

#include "settings/registry.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

const char SCRATCH_KEY[] = "Software\\Dialvane Tests";
const char NESTED_KEY[] = "Software\\Dialvane Tests\\Level one\\Level two";

LONG Parse(const std::string &text)
{
    return ParseDecimal(reinterpret_cast<const BYTE *>(text.data()),
                        static_cast<DWORD>(text.size()));
}

struct ParseCase {
    const char *text;
    LONG expected;
};

TEST(ParseDecimal, ReadsStoredTexts)
{
    const ParseCase cases[] = {
        {"400", 400},
        {"0", 0},
        {"", 0},
        {"abc", 0},
        {"  250", 250},
        {"\t\r\n 250", 250},
        {"+7", 7},
        {"-5", -5},
        {"- 5", 0},
        {"+-5", 0},
        {"12abc", 12},
        {"48 ", 48},
        {"2147483647", LONG_MAX},
        {"-2147483648", LONG_MIN},
        {"2147483648", LONG_MAX},
        {"-2147483649", LONG_MIN},
        {"99999999999999999999", LONG_MAX},
        {"-99999999999999999999", LONG_MIN},
        {"00000000000000000000042", 42},
    };
    for (const ParseCase &c : cases)
        EXPECT_EQ(c.expected, Parse(c.text)) << "text \"" << c.text << "\"";
}

TEST(ParseDecimal, StopsAtTheByteCount)
{
    const BYTE digits[] = {'1', '2', '3', '4', '5', '6'};
    EXPECT_EQ(123, ParseDecimal(digits, 3));
    EXPECT_EQ(0, ParseDecimal(digits, 0));

    // The text stops at the count even where a zero byte would come later.
    const BYTE blanks[] = {' ', ' ', '7'};
    EXPECT_EQ(0, ParseDecimal(blanks, 2));
}

// A buffer of REGISTRY_BUFFER_SIZE bytes that ends where readable memory
// ends. A read of the page after it is counted and then let through (the page
// is made readable and holds zeros), so that a parse reading too far shows as
// a count rather than as a crash of the whole test program.
class GuardedBuffer {
public:
    GuardedBuffer()
    {
        SYSTEM_INFO system;
        GetSystemInfo(&system);
        pageSize = system.dwPageSize;
        base = static_cast<BYTE *>(VirtualAlloc(nullptr, 2 * pageSize, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        handler = AddVectoredExceptionHandler(1, OnFault);
        active = this;
        Rearm();
    }
    ~GuardedBuffer()
    {
        RemoveVectoredExceptionHandler(handler);
        active = nullptr;
        if (base)
            VirtualFree(base, 0, MEM_RELEASE);
    }
    GuardedBuffer(const GuardedBuffer &) = delete;
    GuardedBuffer &operator=(const GuardedBuffer &) = delete;

    bool Ready() const { return base && handler; }
    BYTE *Data() const { return Guard() - REGISTRY_BUFFER_SIZE; }
    int Overreads() const { return overreads; }
    void Rearm()
    {
        overreads = 0;
        DWORD old;
        if (base)
            VirtualProtect(Guard(), pageSize, PAGE_NOACCESS, &old);
    }

private:
    BYTE *base = nullptr;
    DWORD pageSize = 0;
    void *handler = nullptr;
    int overreads = 0;
    static GuardedBuffer *active;

    BYTE *Guard() const { return base + pageSize; }

    static LONG CALLBACK OnFault(EXCEPTION_POINTERS *exception)
    {
        const EXCEPTION_RECORD *record = exception->ExceptionRecord;
        if (!active || record->ExceptionCode != EXCEPTION_ACCESS_VIOLATION || record->NumberParameters < 2)
            return EXCEPTION_CONTINUE_SEARCH;
        BYTE *address = reinterpret_cast<BYTE *>(record->ExceptionInformation[1]);
        if (address < active->Guard() || address >= active->Guard() + active->pageSize)
            return EXCEPTION_CONTINUE_SEARCH;
        ++active->overreads;
        DWORD old;
        VirtualProtect(active->Guard(), active->pageSize, PAGE_READONLY, &old);
        return EXCEPTION_CONTINUE_EXECUTION;
    }
};
GuardedBuffer *GuardedBuffer::active = nullptr;

TEST(ParseDecimal, NeverReadsPastTheBuffer)
{
    // A full buffer with no terminator, ending at the guarded page: the parse
    // stops at its end whatever the buffer is full of.
    GuardedBuffer guarded;
    ASSERT_TRUE(guarded.Ready());
    const struct {
        const char *description;
        BYTE fill;
        BYTE last;
        LONG expected;
    } full[] = {
        {"digits", '9', '9', LONG_MAX},
        {"blanks", ' ', ' ', 0},
        {"blanks and a sign at the end", ' ', '-', 0},
    };
    for (const auto &c : full) {
        guarded.Rearm();
        std::memset(guarded.Data(), c.fill, REGISTRY_BUFFER_SIZE);
        guarded.Data()[REGISTRY_BUFFER_SIZE - 1] = c.last;
        EXPECT_EQ(c.expected, ParseDecimal(guarded.Data(), REGISTRY_BUFFER_SIZE)) << c.description;
        EXPECT_EQ(0, guarded.Overreads()) << c.description;
    }

    // A byte count beyond the buffer is cut to the buffer: zeros fill the
    // buffer and a digit lies just past it.
    std::vector<BYTE> longer(REGISTRY_BUFFER_SIZE + 8, '0');
    longer[REGISTRY_BUFFER_SIZE] = '7';
    EXPECT_EQ(0, ParseDecimal(longer.data(), static_cast<DWORD>(longer.size())));
}

class RegistryOperations : public testing::Test {
protected:
    RegistrySandbox sandbox{{SCRATCH_KEY}};

    void SetUp() override { RegDeleteTreeForTest(SCRATCH_KEY); }
};

TEST_F(RegistryOperations, GetReadsTypeDataAndSize)
{
    const BYTE stored[] = {0x00, 0x01, 0x00, 0x00, 0x05};
    RegWriteForTest(SCRATCH_KEY, "Flag", REG_BINARY, stored, sizeof(stored));

    BYTE data[REGISTRY_BUFFER_SIZE] = {};
    DWORD type = 0;
    DWORD size = sizeof(data);
    EXPECT_EQ(1, RegistryGet(HKEY_CURRENT_USER, SCRATCH_KEY, "Flag", &type, data, &size));
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), type);
    EXPECT_EQ(sizeof(stored), size);
    EXPECT_EQ(0, std::memcmp(stored, data, sizeof(stored)));
}

TEST_F(RegistryOperations, GetFailsOnAMissingKeyAndTouchesNothing)
{
    BYTE data[4] = {0xAA, 0xAA, 0xAA, 0xAA};
    DWORD type = 0xDEAD;
    DWORD size = sizeof(data);
    EXPECT_EQ(0, RegistryGet(HKEY_CURRENT_USER, NESTED_KEY, "Flag", &type, data, &size));
    EXPECT_EQ(0xDEADu, type);
    EXPECT_EQ(sizeof(data), size);
    EXPECT_EQ(0xAA, data[0]);
}

TEST_F(RegistryOperations, GetFailsOnAMissingValue)
{
    RegWriteDwordForTest(SCRATCH_KEY, "Other", 1);
    BYTE data[REGISTRY_BUFFER_SIZE] = {};
    DWORD type = 0;
    DWORD size = sizeof(data);
    EXPECT_EQ(0, RegistryGet(HKEY_CURRENT_USER, SCRATCH_KEY, "Flag", &type, data, &size));
}

TEST_F(RegistryOperations, GetFailsOnAValueLargerThanTheBuffer)
{
    const std::vector<BYTE> stored(REGISTRY_BUFFER_SIZE + 1, '1');
    RegWriteForTest(SCRATCH_KEY, "Long", REG_BINARY, stored.data(), static_cast<DWORD>(stored.size()));
    BYTE data[REGISTRY_BUFFER_SIZE] = {};
    DWORD type = 0;
    DWORD size = sizeof(data);
    EXPECT_EQ(0, RegistryGet(HKEY_CURRENT_USER, SCRATCH_KEY, "Long", &type, data, &size));

    // Exactly the buffer's size still fits.
    RegWriteForTest(SCRATCH_KEY, "Full", REG_BINARY, stored.data(), REGISTRY_BUFFER_SIZE);
    size = sizeof(data);
    EXPECT_EQ(1, RegistryGet(HKEY_CURRENT_USER, SCRATCH_KEY, "Full", &type, data, &size));
    EXPECT_EQ(static_cast<DWORD>(REGISTRY_BUFFER_SIZE), size);
}

TEST_F(RegistryOperations, PutCreatesTheKeysAlongThePath)
{
    ASSERT_FALSE(RegKeyExists(SCRATCH_KEY));
    const BYTE flag[] = {0x01, 0x00, 0x00, 0x00};
    EXPECT_EQ(1, RegistryPut(HKEY_CURRENT_USER, NESTED_KEY, "Flag", REG_BINARY, flag, sizeof(flag)));

    const RegRead read = RegReadForTest(NESTED_KEY, "Flag");
    ASSERT_TRUE(read.found);
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), read.type);
    EXPECT_EQ(std::vector<BYTE>(flag, flag + sizeof(flag)), read.data);
}

TEST_F(RegistryOperations, PutReplacesTypeAndData)
{
    RegWriteDwordForTest(SCRATCH_KEY, "Flag", 0x12345678);
    const BYTE flag[] = {0x00, 0x00, 0x00, 0x00};
    EXPECT_EQ(1, RegistryPut(HKEY_CURRENT_USER, SCRATCH_KEY, "Flag", REG_BINARY, flag, sizeof(flag)));
    const RegRead read = RegReadForTest(SCRATCH_KEY, "Flag");
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), read.type);
    EXPECT_EQ(std::vector<BYTE>(flag, flag + sizeof(flag)), read.data);
}

TEST_F(RegistryOperations, PutWritesTextWithTheGivenLength)
{
    const char text[] = "400";
    EXPECT_EQ(1, RegistryPut(HKEY_CURRENT_USER, SCRATCH_KEY, "Delay", REG_SZ,
                             reinterpret_cast<const BYTE *>(text), 3));
    const RegRead read = RegReadForTest(SCRATCH_KEY, "Delay");
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), read.type);
    EXPECT_EQ("400", read.Text());
    // Wine stores the zero that follows the text in memory as well.
    EXPECT_TRUE(read.data.size() == 3 || (read.data.size() == 4 && read.data[3] == 0))
        << "got " << read.data.size() << " bytes";
}

TEST_F(RegistryOperations, PutFailsWhenTheKeyCannotBeCreated)
{
    MakeKeyUncreatable(NESTED_KEY);
    const BYTE flag[] = {0x01, 0x00, 0x00, 0x00};
    EXPECT_EQ(0, RegistryPut(HKEY_CURRENT_USER, NESTED_KEY, "Flag", REG_BINARY, flag, sizeof(flag)));
    EXPECT_FALSE(RegKeyExists(NESTED_KEY));
}

TEST_F(RegistryOperations, PutFailsWhenTheValueCannotBeSet)
{
    // Value names are limited to 16383 characters; a longer one opens the key
    // but cannot be set.
    const std::string tooLong(20000, 'n');
    const BYTE flag[] = {0x01, 0x00, 0x00, 0x00};
    EXPECT_EQ(0, RegistryPut(HKEY_CURRENT_USER, SCRATCH_KEY, tooLong.c_str(), REG_BINARY, flag,
                             sizeof(flag)));
    // The key itself was created on the way.
    EXPECT_TRUE(RegKeyExists(SCRATCH_KEY));
}

TEST_F(RegistryOperations, DeleteRemovesOneValueAndNeverCreatesTheKey)
{
    RegWriteDwordForTest(SCRATCH_KEY, "Order", 1);
    RegWriteDwordForTest(SCRATCH_KEY, "Other", 2);
    EXPECT_EQ(1, RegistryDelete(HKEY_CURRENT_USER, SCRATCH_KEY, "Order"));
    EXPECT_FALSE(RegReadForTest(SCRATCH_KEY, "Order").found);
    EXPECT_TRUE(RegReadForTest(SCRATCH_KEY, "Other").found);

    // Nothing left to delete, and no key to open.
    EXPECT_EQ(0, RegistryDelete(HKEY_CURRENT_USER, SCRATCH_KEY, "Order"));
    EXPECT_EQ(0, RegistryDelete(HKEY_CURRENT_USER, NESTED_KEY, "Order"));
    EXPECT_FALSE(RegKeyExists(NESTED_KEY));
}

TEST_F(RegistryOperations, EveryPathClosesTheKeyItOpened)
{
    RegWriteDwordForTest(SCRATCH_KEY, "Flag", 1);
    RegWriteDwordForTest(SCRATCH_KEY, "Order", 1);
    const std::string tooLong(20000, 'n');
    const BYTE flag[] = {0x01, 0x00, 0x00, 0x00};
    auto get = [](const char *key, const char *value) {
        BYTE data[REGISTRY_BUFFER_SIZE];
        DWORD type;
        DWORD size = sizeof(data);
        return RegistryGet(HKEY_CURRENT_USER, key, value, &type, data, &size);
    };
    auto put = [&](const char *value) {
        return RegistryPut(HKEY_CURRENT_USER, SCRATCH_KEY, value, REG_BINARY, flag, sizeof(flag));
    };
    auto remove = [](const char *key) { return RegistryDelete(HKEY_CURRENT_USER, key, "Order"); };
    const struct {
        const char *description;
        std::function<int()> operation;
        int expected;
        int opened;
    } cases[] = {
        {"read", [&] { return get(SCRATCH_KEY, "Flag"); }, 1, 1},
        {"read of a missing value", [&] { return get(SCRATCH_KEY, "None"); }, 0, 1},
        {"read without the key", [&] { return get(NESTED_KEY, "Flag"); }, 0, 0},
        {"write", [&] { return put("Flag"); }, 1, 1},
        {"write that cannot be set", [&] { return put(tooLong.c_str()); }, 0, 1},
        {"delete", [&] { return remove(SCRATCH_KEY); }, 1, 1},
        {"delete of a missing value", [&] { return remove(SCRATCH_KEY); }, 0, 1},
        {"delete without the key", [&] { return remove(NESTED_KEY); }, 0, 0},
    };
    for (const auto &c : cases) {
        RegistryKeyRecorder keys;
        ASSERT_TRUE(keys.Installed());
        EXPECT_EQ(c.expected, c.operation()) << c.description;
        EXPECT_EQ(c.opened, keys.Opened()) << c.description;
        EXPECT_EQ(0u, keys.LeftOpen()) << c.description << ": key(s) left open";
    }
}

} // namespace
