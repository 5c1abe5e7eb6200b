#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "app/CiStCStringArray.h"
#include "app/ModuleCatalogue.h"
#include "app/ModuleName.h"

TEST(Catalogue, HoldsThirtySevenDistinctModuleNamesInAFixedUnsortedOrder)
{
    ModuleCatalogue catalogue;
    catalogue.FillCatalogue();
    ASSERT_EQ(catalogue.names.GetSize(), 37);
    ASSERT_EQ(catalogue.presentFlags.GetSize(), 37);

    std::vector<std::wstring> names(catalogue.names.begin(), catalogue.names.end());
    int inter = 0, cam = 0;
    for (int i = 0; i < 37; ++i) {
        const std::wstring& n = names[static_cast<size_t>(i)];
        EXPECT_EQ(n.substr(0, 2), L"ap") << i;
        EXPECT_EQ(n.substr(n.size() - 4), L".dll") << i;
        EXPECT_FALSE(ModuleStem(n).empty()) << i;
        EXPECT_EQ(catalogue.Find(n), i) << "names must differ even ignoring case";
        EXPECT_FALSE(EqualsNoCase(n, L"apMorvane.dll"));
        EXPECT_EQ(catalogue.presentFlags.GetAt(i), 0u);
        inter += ModuleStem(n).rfind(L"Inter", 0) == 0;
        cam += ModuleStem(n).rfind(L"Cam", 0) == 0;
    }
    EXPECT_GE(inter, 3);
    EXPECT_GE(cam, 3);
    EXPECT_FALSE(std::is_sorted(names.begin(), names.end()));
}

TEST(Catalogue, RefillResetsFlagsAndKeepsTheOrder)
{
    ModuleCatalogue catalogue;
    catalogue.FillCatalogue();
    std::wstring first = catalogue.names.GetAt(0);
    catalogue.MarkPresent(0);
    catalogue.MarkPresent(5);
    catalogue.FillCatalogue();
    EXPECT_EQ(catalogue.names.GetSize(), 37);
    EXPECT_EQ(catalogue.names.GetAt(0), first);
    EXPECT_EQ(catalogue.FirstFree(), 0);
}

TEST(Catalogue, FirstFreeScansUpwardAndReportsNoneWhenAllAreInUse)
{
    ModuleCatalogue catalogue;
    catalogue.FillCatalogue();
    catalogue.MarkPresent(0);
    catalogue.MarkPresent(2);
    EXPECT_EQ(catalogue.FirstFree(), 1);
    for (int i = 0; i < 37; ++i)
        catalogue.MarkPresent(i);
    EXPECT_EQ(catalogue.FirstFree(), -1);
}

TEST(Catalogue, LookUpIgnoresLetterCase)
{
    ModuleCatalogue catalogue;
    catalogue.FillCatalogue();
    std::wstring name = catalogue.names.GetAt(7);
    std::wstring upper = name;
    std::transform(upper.begin(), upper.end(), upper.begin(), ::towupper);
    EXPECT_EQ(catalogue.Find(upper), 7);
    EXPECT_EQ(catalogue.Find(name.substr(0, name.size() - 4)), -1);
}

TEST(ModuleStem, DropsTwoLeadingAndFourTrailingCharacters)
{
    EXPECT_EQ(ModuleStem(L"apFoo.dll"), L"Foo");
    EXPECT_EQ(ModuleStem(L"XYFoo.DLL"), L"Foo") << "removed characters are not examined";
    EXPECT_EQ(ModuleStem(L"apX.dll"), L"X");
    EXPECT_EQ(ModuleStem(L"ap.dll"), L"");
    EXPECT_EQ(ModuleStem(L"ap"), L"");
    EXPECT_EQ(ModuleStem(L""), L"");
}
