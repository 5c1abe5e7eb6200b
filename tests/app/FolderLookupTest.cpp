#include <gtest/gtest.h>

#include "app/FolderLookup.h"
#include "support/TestSupport.h"

namespace {

struct Lookup {
    std::wstring host, addIn;
};

Lookup LookUp()
{
    Lookup result;
    LookUpAddInFolder(result.host, result.addIn);
    return result;
}

class FolderLookup : public ::testing::Test {
protected:
    void TearDown() override { DeleteHostRegistryKey(); }
};

}  // namespace

TEST_F(FolderLookup, TrimsTrailingBackslashesAndAppendsTheAddInFolder)
{
    const struct {
        const wchar_t* value;
        const wchar_t* host;
        const wchar_t* addIn;
    } cases[] = {
        {L"C:\\Host\\", L"C:\\Host", L"C:\\Host\\zul_ap"},
        {L"C:\\Host", L"C:\\Host", L"C:\\Host\\zul_ap"},
        {L"C:\\Host\\\\\\", L"C:\\Host", L"C:\\Host\\zul_ap"},
        {L"D:\\", L"D:", L"D:\\zul_ap"},
        {L"\\\\\\", L"", L"\\zul_ap"},
        {L"C:/Host/Sub", L"C:/Host/Sub", L"C:/Host/Sub\\zul_ap"},
        {L"C:\\호스트 폴더", L"C:\\호스트 폴더", L"C:\\호스트 폴더\\zul_ap"},
    };
    for (const auto& c : cases) {
        SetHostRegistryValue(c.value);
        Lookup found = LookUp();
        EXPECT_EQ(found.host, c.host) << Utf8(c.value);
        EXPECT_EQ(found.addIn, c.addIn) << Utf8(c.value);
    }
}

TEST_F(FolderLookup, MissingKeyOrValueOrEmptyValueLeavesBothEmpty)
{
    DeleteHostRegistryKey();
    Lookup none = LookUp();
    EXPECT_EQ(none.host, L"");
    EXPECT_EQ(none.addIn, L"");

    SetHostRegistryValue(L"");
    Lookup empty = LookUp();
    EXPECT_EQ(empty.host, L"");
    EXPECT_EQ(empty.addIn, L"");

    std::wstring untouched = L"keep";
    EXPECT_EQ(ReadHostRegistryValue(kHostRegistryKey, L"NoSuchValue", untouched), -1);
    EXPECT_EQ(untouched, L"keep");
}

TEST_F(FolderLookup, ReadsLongValuesWholeAndValuesWithoutTerminator)
{
    // 200 characters: far past what a fixed 255-byte buffer would hold.
    std::wstring longPath = L"C:\\" + std::wstring(197, L'p');
    SetHostRegistryValue(longPath);
    EXPECT_EQ(LookUp().host, longPath);

    std::wstring longer = L"C:\\" + std::wstring(2000, L'q') + L"\\";
    SetHostRegistryValue(longer, REG_EXPAND_SZ);
    EXPECT_EQ(LookUp().addIn, longer.substr(0, longer.size() - 1) + L"\\zul_ap");

    const wchar_t unterminated[] = {L'E', L':', L'\\', L'H'};
    SetHostRegistryBytes(unterminated, sizeof unterminated, REG_SZ);
    EXPECT_EQ(LookUp().host, L"E:\\H");

    const wchar_t embedded[] = L"F:\\A\0junk";
    SetHostRegistryBytes(embedded, sizeof embedded, REG_SZ);
    EXPECT_EQ(LookUp().host, L"F:\\A") << "the text ends at the first NUL";
}

TEST_F(FolderLookup, KeyPathTakesForwardSlashesAsSeparators)
{
    SetHostRegistryValue(L"G:\\Tolvan");
    std::wstring value;
    std::wstring slashed = kHostRegistryKey;
    for (auto& ch : slashed)
        if (ch == L'\\')
            ch = L'/';
    ASSERT_EQ(ReadHostRegistryValue(slashed, kHostRegistryValue, value), 0);
    EXPECT_EQ(value, L"G:\\Tolvan");
}

TEST(ProgramFolder, IsTheExecutablesFolderWithoutTrailingBackslash)
{
    EXPECT_EQ(GetProgramFolder(), TestBinFolder());
    EXPECT_EQ(FolderOfPath(L"C:\\Tools\\setup.exe"), L"C:\\Tools");
    EXPECT_EQ(FolderOfPath(L"setup.exe"), L"");
}
