#include <gtest/gtest.h>

#include "menu/MenuLoader.h"
#include "support/TestList.h"
#include "support/TestSupport.h"

namespace {

struct LoaderFixture : ::testing::Test {
    LoaderFixture() { catalogue.FillCatalogue(); }

    void Load() { LoadMenuFile(dir.Path(), table, catalogue); }
    std::wstring Cell(int row, int column) { return list.List().GetItemText(row, column); }
    int PresentCount() const
    {
        int n = 0;
        for (int i = 0; i < catalogue.names.GetSize(); ++i)
            n += catalogue.IsPresent(i);
        return n;
    }

    TempDir dir;
    TestList list;
    ModuleTable table{list.List()};
    ModuleCatalogue catalogue;
};

}  // namespace

TEST_F(LoaderFixture, OneRowPerEntryEvenWhenTheDllIsMissing)
{
    table.AppendLoadedRow({L"", L"apOld.dll", L"apOld", L"old", L"x"}, L"1");
    WriteFileBytes(dir / L"zulmenu.txt",
                   "\n"
                   "free text\n"
                   "\"DraftAssist\" \" \xB5\xB5\xB8\xE9  A \" \"ANY\" \"THING\"\r\n"
                   "\"Nope\" \"\" \"CAD\" \"REGULAR\"\n"
                   "\"DraftAssist\" \"second\" \"CAD\" \"REGULAR\"");
    Load();
    ASSERT_EQ(table.GetCount(), 2);
    ASSERT_EQ(list.List().GetItemCount(), 2);
    for (int r = 0; r < 2; ++r) {
        EXPECT_EQ(table.status[r], L"");
        EXPECT_EQ(table.dllFileName[r], L"apDraftAssist.dll");
        EXPECT_EQ(table.moduleName[r], L"ap") << "no DLL, no internal name";
        EXPECT_EQ(table.sourcePath[r], dir / L"apDraftAssist.dll");
        EXPECT_EQ(Cell(r, 1), L"ap");
        EXPECT_EQ(Cell(r, 3), L"");
    }
    EXPECT_EQ(table.menuName[0], L"도면  A");
    EXPECT_EQ(Cell(0, 2), L"도면  A");
    EXPECT_EQ(table.menuName[1], L"second");
    EXPECT_TRUE(catalogue.IsPresent(catalogue.Find(L"apDraftAssist.dll"))) << "marked through the DLL file name";
    EXPECT_EQ(PresentCount(), 1);
}

TEST_F(LoaderFixture, NamesAndVersionComeFromTheInstalledDll)
{
    // Deployed under a catalogue name: listed under its own name, marks both.
    ASSERT_TRUE(CopyFileW(FixturePath(L"apSampleFull.dll").c_str(), (dir / L"apInterSnap.dll").c_str(), FALSE));
    WriteFileBytes(dir / L"zulmenu.txt", "\"InterSnap\" \"Snap\" \"CAD\" \"INTERRUPT\"\r\n");
    catalogue.names.Add(L"apSampleFull.dll");
    catalogue.presentFlags.Add(0);
    Load();
    ASSERT_EQ(table.GetCount(), 1);
    EXPECT_EQ(table.moduleName[0], L"apSampleFull.dll");
    EXPECT_EQ(table.dllFileName[0], L"apInterSnap.dll");
    EXPECT_EQ(Cell(0, 1), L"apSampleFull.dll");
    EXPECT_EQ(Cell(0, 2), L"Snap");
    EXPECT_EQ(Cell(0, 3), L"2.3.0.8");
    EXPECT_TRUE(catalogue.IsPresent(catalogue.Find(L"apInterSnap.dll")));
    EXPECT_TRUE(catalogue.IsPresent(catalogue.Find(L"apSampleFull.dll")));

    Load();
    EXPECT_EQ(table.GetCount(), 1) << "loading twice gives the same list";
    EXPECT_EQ(list.List().GetItemCount(), 1);
    EXPECT_EQ(PresentCount(), 2);
}

TEST_F(LoaderFixture, UnreadableMenuFileGivesAnEmptyList)
{
    const std::wstring path = dir / L"zulmenu.txt";
    WriteFileBytes(path, "\"DraftAssist\" \"m\" \"CAD\" \"REGULAR\"\r\n");
    HANDLE holder = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    Load();
    CloseHandle(holder);
    EXPECT_EQ(table.GetCount(), 0);
    EXPECT_EQ(list.List().GetItemCount(), 0);

    Load();
    EXPECT_EQ(table.GetCount(), 1) << "the loader lets go of the file";
    EXPECT_TRUE(CloseHandle(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)));

    LoadMenuFile(L"", table, catalogue);
    EXPECT_EQ(table.GetCount(), 0) << "no host, no list";
    EXPECT_EQ(list.List().GetItemCount(), 0);
}
