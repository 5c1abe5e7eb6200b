#include <gtest/gtest.h>

#include <algorithm>

#include "core/host/HostFolder.h"
#include "core/table/CiStCStringArray.h"
#include "core/table/ModuleCatalogue.h"
#include "core/table/ModuleName.h"
#include "core/table/ModuleTable.h"
#include "support/TestSupport.h"

TEST(Catalogue, ThirtySevenDistinctNamesInAFixedUnsortedHandOutOrder)
{
    ModuleCatalogue catalogue;
    catalogue.FillCatalogue();
    ASSERT_EQ(catalogue.GetSize(), kCatalogueSize);
    std::vector<std::wstring> names;
    int inter = 0, cam = 0;
    for (int i = 0; i < kCatalogueSize; ++i) {
        const std::wstring& n = catalogue.Name(i);
        names.push_back(n);
        EXPECT_TRUE(n.starts_with(L"ap") && n.ends_with(L".dll") && !ModuleStem(n).empty()) << Utf8(n);
        EXPECT_EQ(catalogue.Find(n), i) << "names differ even ignoring case";
        EXPECT_FALSE(catalogue.IsPresent(i));
        inter += ModuleStem(n).starts_with(L"Inter");
        cam += ModuleStem(n).starts_with(L"Cam");
    }
    EXPECT_EQ(names.front() + names.back(), L"apDraftAssist.dllapUserSlot.dll");
    EXPECT_GE(std::min(inter, cam), 3);
    EXPECT_FALSE(std::is_sorted(names.begin(), names.end()));
    EXPECT_EQ(catalogue.Find(L"APINTERSNAP.DLL"), 1);
    EXPECT_EQ(catalogue.Find(L"apMorvane.dll"), -1);

    catalogue.MarkPresent(0);
    catalogue.MarkPresent(2);
    EXPECT_EQ(catalogue.FirstFree(), 1);
    for (int i = 0; i < kCatalogueSize; ++i)
        catalogue.MarkPresent(i);
    EXPECT_EQ(catalogue.FirstFree(), -1);
    catalogue.FillCatalogue();
    EXPECT_EQ(catalogue.FirstFree(), 0) << "a refill clears every flag";

    EXPECT_EQ(ModuleStem(L"apFoo.dll"), L"Foo");
    EXPECT_EQ(ModuleStem(L"xxABCDEF"), L"AB");
    EXPECT_EQ(ModuleStem(L"ap.dll") + ModuleStem(L""), L"");
}

TEST(FindNoCase, WholeStringsIgnoringCaseAsTheFileSystemFoldsThem)
{
    CiStCStringArray names;
    EXPECT_EQ(names.FindNoCase(L"x"), -1);
    for (const wchar_t* name : {L"apBar.dll", L"apFoo.dll", L"APFOO.DLL", L"apÄrger.dll", L""})
        names.Add(name);
    EXPECT_EQ(names.FindNoCase(L"apfoo.DLL"), 1) << "the first match";
    EXPECT_EQ(names.FindNoCase(L"APäRGER.DLL"), 3);
    EXPECT_EQ(names.FindNoCase(L"apFoo"), -1) << "a prefix is no match";
    EXPECT_EQ(names.FindNoCase(L""), 4);
}

TEST(ModuleTable, RowsKeepWhatTheyAreAndShowWhatWasChosen)
{
    ModuleTable table;
    table.AppendRow({RowStatus::Loaded, L"apA.dll", L"apAlpha.dll", L"알파", L"C:\\h\\apA.dll"}, L"1.0");
    table.AppendRow({RowStatus::Added, L"apB.dll", L"apBeta.dll", L"beta", L"C:\\m\\apB.dll"}, L"2.0");
    EXPECT_EQ(table.FindByModuleName(L"APBETA.DLL"), 1);
    EXPECT_EQ(table.FindByModuleName(L"apGamma.dll"), -1);

    table.MarkReplaced(0, L"C:\\new\\apA2.dll", {L"apAlpha2.dll", L"새 설명", L"3.0"});
    const ModuleRow& row = table.GetRow(0);
    EXPECT_EQ(row.status, RowStatus::Replaced);
    EXPECT_EQ(row.dllFileName + L"|" + row.moduleName + L"|" + row.menuName + L"|" + row.sourcePath,
              L"apA.dll|apAlpha.dll|알파|C:\\new\\apA2.dll");
    EXPECT_EQ(table.GetShown(0).moduleName + L"|" + table.GetShown(0).menuName + L"|" + table.GetShown(0).version,
              L"apAlpha2.dll|새 설명|3.0");

    table.RefreshAdded(1, {RowStatus::Added, L"apB.dll", L"apbeta.dll", L"beta 2", L"C:\\v2\\apB.dll"}, L"2.1");
    EXPECT_EQ(table.GetRow(1).sourcePath + table.GetShown(1).version, L"C:\\v2\\apB.dll2.1");
    table.RemoveRow(0);
    EXPECT_EQ(table.GetCount(), 1);
    EXPECT_EQ(table.GetRow(0).menuName, L"beta 2");
    EXPECT_THROW(table.RemoveRow(1), std::out_of_range);
    table.Clear();
    EXPECT_EQ(table.GetCount(), 0);
}

TEST(HostFolder, TheRegistryValueGivesTheHostAndItsAddInFolder)
{
    struct Restore {
        ~Restore() { DeleteHostRegistryKey(); }
    } restore;
    const struct {
        std::wstring value, host, addIn;
    } cases[] = {
        {L"C:\\Host\\\\", L"C:\\Host", L"C:\\Host\\zul_ap"},
        {L"D:\\", L"D:", L"D:\\zul_ap"},
        {L"C:/Host/Sub", L"C:/Host/Sub", L"C:/Host/Sub\\zul_ap"},
        {L"C:\\호스트 폴더", L"C:\\호스트 폴더", L"C:\\호스트 폴더\\zul_ap"},
        {L"C:\\" + std::wstring(2000, L'q'), L"C:\\" + std::wstring(2000, L'q'), L"C:\\" + std::wstring(2000, L'q') + L"\\zul_ap"},
        {L"\\\\srv\\share\\Host", L"\\\\srv\\share\\Host", L"\\\\srv\\share\\Host\\zul_ap"},
        {L"", L"", L""},
        {L"\\\\\\", L"", L""},
        {L"Host\\Sub", L"", L""},
        {L"C:Host", L"", L""},
        {L"\\Host", L"", L""},
    };
    for (const auto& c : cases) {
        SetHostRegistryValue(c.value);
        std::wstring host, addIn;
        LookUpAddInFolder(host, addIn);
        EXPECT_EQ(host, c.host) << Utf8(c.value);
        EXPECT_EQ(addIn, c.addIn) << Utf8(c.value);
    }
    std::wstring value = L"keep";
    EXPECT_EQ(ReadHostRegistryValue(L"SOFTWARE/NORVALE SYSTEMS INC./TOLVAN-QUORAL2/Env", kHostRegistryValue, value), 0)
        << "\"/\" in the key path is a separator";
    EXPECT_EQ(ReadHostRegistryValue(kHostRegistryKey, L"NoSuchValue", value), -1);
    DeleteHostRegistryKey();
    std::wstring host, addIn;
    LookUpAddInFolder(host, addIn);
    EXPECT_EQ(host + addIn, L"") << "no value: no host";
}
