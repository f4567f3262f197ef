// test_settings_registry.cpp - RegistryGet, RegistryPut and the decimal parse
// of stored texts, against the real registry.
#include "support/test_support.h"

#include "settings/registry.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
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

TEST(ParseDecimal, NeverReadsPastTheBuffer)
{
    // A full buffer of digits with no terminator: the parse stops at its end
    // (a heap block of exactly the buffer's size) and clamps the number.
    std::vector<BYTE> full(REGISTRY_BUFFER_SIZE, '9');
    EXPECT_EQ(LONG_MAX, ParseDecimal(full.data(), static_cast<DWORD>(full.size())));

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

} // namespace
