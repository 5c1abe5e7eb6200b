#include <gtest/gtest.h>

#include "modules/CiStFileInformation.h"
#include "support/ModuleFactory.h"
#include "support/TestSupport.h"

namespace {

struct Expected {
    std::wstring company, description, fileVersion, internalName, copyright, originalName, product, productVersion;
};

void ExpectStrings(const CiStFileInformation& info, const Expected& e, const std::string& what)
{
    EXPECT_EQ(Utf8(info.CompanyName), Utf8(e.company)) << what << ": CompanyName";
    EXPECT_EQ(Utf8(info.FileDescription), Utf8(e.description)) << what << ": FileDescription";
    EXPECT_EQ(Utf8(info.FileVersion), Utf8(e.fileVersion)) << what << ": FileVersion";
    EXPECT_EQ(Utf8(info.InternalName), Utf8(e.internalName)) << what << ": InternalName";
    EXPECT_EQ(Utf8(info.LegalCopyright), Utf8(e.copyright)) << what << ": LegalCopyright";
    EXPECT_EQ(Utf8(info.OriginalFilename), Utf8(e.originalName)) << what << ": OriginalFilename";
    EXPECT_EQ(Utf8(info.ProductName), Utf8(e.product)) << what << ": ProductName";
    EXPECT_EQ(Utf8(info.ProductVersion), Utf8(e.productVersion)) << what << ": ProductVersion";
}

const Expected kNothing{};

// True when nobody holds the file: an exclusive open succeeds.
bool NotHeldOpen(const std::wstring& path)
{
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(h);
    return true;
}

}  // namespace

TEST(FileInformation, ReadsTheKoreanUnicodeTableOfModulesOfBothMachines)
{
    CiStFileInformation full(FixturePath(L"apSampleFull.dll"));
    EXPECT_TRUE(full.GetStatus());
    ExpectStrings(full,
                  {L"샘플 제작소", L"샘플 모듈", L"2.3.0.7", L"SampleFull.dll", L"(C) 샘플 팀", L"apSampleFull.dll",
                   L"샘플 제품", L"2.3.0.8"},
                  "64-bit module");
    EXPECT_EQ(Utf8(full.GetFileDescription()), Utf8(L"샘플 모듈"));
    EXPECT_EQ(Utf8(full.GetInternalName()), "SampleFull.dll");
    EXPECT_EQ(Utf8(full.GetProductVersion()), "2.3.0.8");

    CiStFileInformation x86(FixturePath(L"apSample32.dll"));
    EXPECT_TRUE(x86.GetStatus());
    ExpectStrings(x86,
                  {L"샘플 제작소", L"32비트 모듈", L"4.1.0.0", L"Sample32.dll", L"(C) 샘플 팀", L"apSample32.dll",
                   L"샘플 제품", L"4.1.0.0"},
                  "32-bit module");
}

TEST(FileInformation, OtherTablesAndMissingKeysGiveEmptyStringsAndFalse)
{
    CiStFileInformation english(FixturePath(L"apSampleEnglish.dll"));
    EXPECT_FALSE(english.GetStatus()) << "only an English table";
    ExpectStrings(english, kNothing, "English table only");

    CiStFileInformation noCompany(FixturePath(L"apSampleNoCompany.dll"));
    EXPECT_FALSE(noCompany.GetStatus()) << "CompanyName missing";
    ExpectStrings(noCompany,
                  {L"", L"회사 없는 모듈", L"3.0.0.1", L"SampleNoCompany.dll", L"(C) 샘플 팀",
                   L"apSampleNoCompany.dll", L"샘플 제품", L"3.0.0.2"},
                  "table without CompanyName");

    // Korean language under another code page, and the program's own table, are not read.
    TempDir dir;
    ModuleSpec wanted{L"Other.dll", L"다른 표"};
    for (const wchar_t* table : {L"041204e4", L"041203b5", L"000004b0"}) {
        std::wstring path = dir / (std::wstring(L"ap") + table + L".dll");
        CopyBareModule(path, true);
        StampResource(path, kResourceTypeVersion, 1, kLanguageKorean,
                      BuildVersionResource(table, ModuleVersionStrings(wanted)));
        CiStFileInformation other(path);
        EXPECT_FALSE(other.GetStatus()) << Utf8(table);
        ExpectStrings(other, kNothing, "table " + Utf8(table));
    }
}

TEST(FileInformation, FilesWithoutVersionStringsGiveEmptyStringsAndFalse)
{
    TempDir dir;
    std::wstring text = dir / L"notes.txt";
    WriteFileBytes(text, "not a module at all\r\n");
    const std::wstring paths[] = {FixturePath(L"apSampleNoVersion.dll"), FixturePath(L"apSampleNoVersion32.dll"),
                                  dir / L"apMissing.dll", dir.Path(), text, L""};
    for (const std::wstring& path : paths) {
        CiStFileInformation info(path);
        EXPECT_FALSE(info.GetStatus()) << Utf8(path);
        ExpectStrings(info, kNothing, Utf8(path));
    }
}

TEST(FileInformation, RereadingReplacesEveryStringAndReleasesTheFile)
{
    TempDir dir;
    std::wstring full = dir / L"apSampleFull.dll";
    ASSERT_TRUE(CopyFileW(FixturePath(L"apSampleFull.dll").c_str(), full.c_str(), FALSE));

    CiStFileInformation info(full);
    ASSERT_TRUE(info.GetStatus());
    EXPECT_TRUE(NotHeldOpen(full)) << "the module stays open after reading it";

    // Strings of an earlier file must not survive a read that finds nothing.
    EXPECT_EQ(info.ReadVersionStrings(FixturePath(L"apSampleNoVersion.dll")), 0);
    ExpectStrings(info, kNothing, "after reading a module without version");
    EXPECT_NE(info.ReadVersionStrings(full), 0);
    EXPECT_EQ(Utf8(info.GetInternalName()), "SampleFull.dll");
    EXPECT_EQ(info.ReadVersionStrings(FixturePath(L"apSampleNoCompany.dll")), 0);
    EXPECT_EQ(info.CompanyName, L"") << "CompanyName kept from the earlier module";
}

TEST(FileInformation, ReadsModulesMadeAtRunTime)
{
    TempDir dir;
    // Texts of odd and even length move every later block off and on the 32-bit grid.
    const ModuleSpec specs[] = {
        {L"A.dll", L"가", L"1"},
        {L"Ab.dll", L"가나", L"1.2"},
        {L"Beam.dll", L"보 설계 도우미", L"10.20.30.40"},
        {L"InterSnap.dll", L"Snap \"quoted\" 메뉴", L"0.0.0.1"},
        {L"CamDrill.dll", std::wstring(300, L'길'), L"2.0.0.0", false},
    };
    for (const ModuleSpec& wanted : specs) {
        std::wstring path = dir / (L"ap" + wanted.internalName);
        MakeModuleDll(path, wanted);
        CiStFileInformation info(path);
        std::string what = Utf8(wanted.internalName);
        EXPECT_TRUE(info.GetStatus()) << what;
        ExpectStrings(info,
                      {L"샘플 제작소", wanted.description, wanted.version, wanted.internalName, L"(C) 샘플 팀",
                       L"ap" + wanted.internalName, L"샘플 제품", wanted.version},
                      what);
    }
}

TEST(FileInformation, DamagedVersionResourcesGiveWhatTheyHoldAndNoMore)
{
    TempDir dir;
    ModuleSpec wanted{L"Damaged.dll", L"손상"};
    std::string resource = BuildVersionResource(L"041204b0", ModuleVersionStrings(wanted));

    // Cut in half, its lengths still claiming the whole: the keys before the cut are
    // read, the ones after it are empty, and nothing past the data turns into text.
    std::wstring half = dir / L"apHalf.dll";
    CopyBareModule(half, true);
    StampResource(half, kResourceTypeVersion, 1, kLanguageKorean, resource.substr(0, resource.size() / 2));
    CiStFileInformation halfInfo(half);
    EXPECT_FALSE(halfInfo.GetStatus()) << "half a version resource";
    ExpectStrings(halfInfo, {L"샘플 제작소", L"손상", L"1.0.0.1", L"", L"", L"", L"", L""},
                  "version resource cut in half");

    std::wstring tiny = dir / L"apTiny.dll";
    CopyBareModule(tiny, true);
    StampResource(tiny, kResourceTypeVersion, 1, kLanguageKorean, std::string("\x04\x00\x00\x00", 4));
    CiStFileInformation tinyInfo(tiny);
    EXPECT_FALSE(tinyInfo.GetStatus());
    ExpectStrings(tinyInfo, kNothing, "four-byte version resource");
}
