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

// A bare module carrying the given bytes as its version resource.
std::wstring Stamped(const TempDir& dir, const std::wstring& name, const std::string& resource)
{
    std::wstring path = dir / name;
    CopyBareModule(path, true);
    StampResource(path, kResourceTypeVersion, 1, kLanguageKorean, resource);
    return path;
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

    CiStFileInformation x86(FixturePath(L"apSample32.dll"));
    EXPECT_TRUE(x86.GetStatus());
    ExpectStrings(x86,
                  {L"샘플 제작소", L"32비트 모듈", L"4.1.0.0", L"Sample32.dll", L"(C) 샘플 팀", L"apSample32.dll",
                   L"샘플 제품", L"4.1.0.0"},
                  "32-bit module");

    CiStFileInformation noCompany(FixturePath(L"apSampleNoCompany.dll"));
    EXPECT_FALSE(noCompany.GetStatus()) << "CompanyName missing";
    ExpectStrings(noCompany,
                  {L"", L"회사 없는 모듈", L"3.0.0.1", L"SampleNoCompany.dll", L"(C) 샘플 팀",
                   L"apSampleNoCompany.dll", L"샘플 제품", L"3.0.0.2"},
                  "table without CompanyName");
}

TEST(FileInformation, OtherTablesAndFilesWithoutVersionStringsGiveEmptyStringsAndFalse)
{
    TempDir dir;
    std::wstring text = dir / L"notes.txt";
    WriteFileBytes(text, "not a module at all\r\n");
    std::vector<std::wstring> paths = {FixturePath(L"apSampleEnglish.dll"), FixturePath(L"apSampleNoVersion.dll"),
                                       FixturePath(L"apSampleNoVersion32.dll"), dir / L"apMissing.dll", dir.Path(),
                                       text, L"",
                                       Stamped(dir, L"apTiny.dll", std::string("\x04\x00\x00\x00", 4))};
    // Korean language under another code page, and the program's own table, are not read.
    for (const wchar_t* table : {L"041204e4", L"041203b5", L"000004b0"})
        paths.push_back(Stamped(dir, std::wstring(L"ap") + table + L".dll",
                                BuildVersionResource(table, ModuleVersionStrings({L"Other.dll", L"다른 표"}))));
    for (const std::wstring& path : paths) {
        CiStFileInformation info(path);
        EXPECT_FALSE(info.GetStatus()) << Utf8(path);
        ExpectStrings(info, {}, Utf8(path));
    }
}

TEST(FileInformation, RereadingReplacesEveryStringAndReleasesTheFile)
{
    TempDir dir;
    std::wstring full = dir / L"apSampleFull.dll";
    ASSERT_TRUE(CopyFileW(FixturePath(L"apSampleFull.dll").c_str(), full.c_str(), FALSE));

    CiStFileInformation info(full);
    ASSERT_TRUE(info.GetStatus());
    HANDLE exclusive = CreateFileW(full.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(exclusive, INVALID_HANDLE_VALUE) << "the module stays open after reading it";
    CloseHandle(exclusive);

    // Strings of an earlier file must not survive a read that finds nothing.
    EXPECT_EQ(info.ReadVersionStrings(FixturePath(L"apSampleNoVersion.dll")), 0);
    ExpectStrings(info, {}, "after reading a module without version");
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

TEST(FileInformation, AVersionResourceCutInHalfGivesWhatItHoldsAndNoMore)
{
    // Its lengths still claim the whole: the keys before the cut are read, the ones
    // after it are empty, and nothing past the data turns into text.
    TempDir dir;
    std::string resource = BuildVersionResource(L"041204b0", ModuleVersionStrings({L"Damaged.dll", L"손상"}));
    CiStFileInformation half(Stamped(dir, L"apHalf.dll", resource.substr(0, resource.size() / 2)));
    EXPECT_FALSE(half.GetStatus()) << "half a version resource";
    ExpectStrings(half, {L"샘플 제작소", L"손상", L"1.0.0.1", L"", L"", L"", L"", L""}, "version resource cut in half");
}
