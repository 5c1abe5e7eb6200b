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
        EXPECT_TRUE(n.starts_with(L"ap") && n.ends_with(L".dll") && !ModuleStem(n).empty() && !catalogue.IsPresent(i)) << Utf8(n);
        EXPECT_EQ(catalogue.Find(n), i) << "names differ even ignoring case";
        inter += ModuleStem(n).starts_with(L"Inter");
        cam += ModuleStem(n).starts_with(L"Cam");
    }
    EXPECT_EQ(names.front() + names.back(), L"apDraftAssist.dllapUserSlot.dll");
    EXPECT_GE(std::min(inter, cam), 3);
    EXPECT_FALSE(std::is_sorted(names.begin(), names.end()));
    EXPECT_EQ(catalogue.Find(L"APINTERSNAP.DLL"), 1) << "the file system's case folding";
    EXPECT_EQ(catalogue.Find(L"apMorvane.dll") + catalogue.Find(L"apInterSnap") + catalogue.Find(L""), -3);
    CiStCStringArray folded;
    folded.Add(L"apÄrger.dll");
    EXPECT_EQ(folded.FindNoCase(L"APäRGER.DLL") + folded.FindNoCase(L"apÄrger"), -1) << "beyond ASCII, whole names only";

    std::vector<int> firstFree;
    for (int i : {0, 2, 1, 3}) {
        catalogue.MarkPresent(i);
        firstFree.push_back(catalogue.FirstFree());
    }
    for (int i = 0; i < kCatalogueSize; ++i)
        catalogue.MarkPresent(i);
    firstFree.push_back(catalogue.FirstFree());
    catalogue.FillCatalogue();
    firstFree.push_back(catalogue.FirstFree());
    EXPECT_EQ(firstFree, (std::vector<int>{1, 1, 3, 4, -1, 0})) << "the lowest free; a refill clears every flag";
    EXPECT_EQ(ModuleStem(L"apFoo.dll") + L"|" + ModuleStem(L"xxABCDEF") + L"|" + ModuleStem(L"ap.dll") + ModuleStem(L""), L"Foo|AB|");
}

TEST(HostFolder, TheRegistryValueGivesTheHostAndItsAddInFolder)
{
    struct Restore {
        ~Restore() { DeleteHostRegistryKey(); }
    } restore;
    const std::wstring longPath = L"C:\\" + std::wstring(2000, L'q');
    // Only an absolute folder is a host: no value, a relative path or backslashes alone are none.
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"C:\\Host\\\\", L"C:\\Host"}, {L"D:\\", L"D:"}, {L"C:/Host/Sub", L"C:/Host/Sub"}, {L"C:\\호스트 폴더", L"C:\\호스트 폴더"},
        {longPath, longPath}, {L"\\\\srv\\share\\Host", L"\\\\srv\\share\\Host"}, {L"", L""}, {L"\\\\\\", L""},
        {L"Host\\Sub", L""}, {L"C:Host", L""}, {L"\\Host", L""},
    };
    for (const auto& [value, wanted] : cases) {
        SetHostRegistryValue(value);
        std::wstring host, addIn;
        LookUpAddInFolder(host, addIn);
        EXPECT_EQ(host + L"|" + addIn, wanted + L"|" + (wanted.empty() ? L"" : wanted + L"\\zul_ap")) << Utf8(value);
    }
    std::wstring value = L"keep", host, addIn;
    EXPECT_EQ(ReadHostRegistryValue(L"SOFTWARE/NORVALE SYSTEMS INC./TOLVAN-QUORAL2/Env", kHostRegistryValue, value) +
                  ReadHostRegistryValue(kHostRegistryKey, L"NoSuchValue", value), -1) << "\"/\" in the key path is a separator";
    DeleteHostRegistryKey();
    LookUpAddInFolder(host, addIn);
    EXPECT_EQ(host + addIn, L"") << "no value: no host";
}
