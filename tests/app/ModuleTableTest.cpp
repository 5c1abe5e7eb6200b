#include <gtest/gtest.h>

#include "app/ModuleTable.h"
#include "support/TestList.h"
#include "support/TestSupport.h"

namespace {

ModuleRow Row(const std::wstring& status, const std::wstring& stem, const std::wstring& menu)
{
    return {status, L"ap" + stem + L".dll", L"ap" + stem + L".dll", menu, L"C:\\src\\ap" + stem + L".dll"};
}

// The invariant every table operation keeps: five columns and the list, all alike.
void ExpectInSync(ModuleTable& table, CListCtrl& list)
{
    int n = list.GetItemCount();
    ASSERT_EQ(table.status.GetSize(), n);
    ASSERT_EQ(table.dllFileName.GetSize(), n);
    ASSERT_EQ(table.moduleName.GetSize(), n);
    ASSERT_EQ(table.menuName.GetSize(), n);
    ASSERT_EQ(table.sourcePath.GetSize(), n);
    for (int i = 0; i < n; ++i) {
        if (table.status.GetAt(i) == kStatusReplaced)
            continue;  // a replaced row shows the new file's values until the next load
        EXPECT_EQ(list.GetItemText(i, kColumnStatus), table.status.GetAt(i)) << i;
        EXPECT_EQ(list.GetItemText(i, kColumnModuleName), table.moduleName.GetAt(i)) << i;
        EXPECT_EQ(list.GetItemText(i, kColumnMenuName), table.menuName.GetAt(i)) << i;
    }
}

}  // namespace

TEST(ModuleTable, AppendFindRemoveAndClearKeepColumnsAndListAlike)
{
    TestList window;
    CListCtrl& list = window.List();
    ModuleTable table(list);

    table.AppendLoadedRow(Row(L"", L"One", L"첫째"), L"1.0");
    table.AppendLoadedRow(Row(L"", L"Two", L"둘째"), L"2.0");
    table.AppendAddedRow(Row(kStatusAdded, L"Three", L"셋째"), L"3.0");
    table.AppendAddedRow(Row(kStatusAdded, L"Four", L"넷째"), L"");
    ExpectInSync(table, list);
    EXPECT_EQ(list.GetItemText(1, kColumnVersion), L"2.0");
    EXPECT_EQ(table.GetRow(2).sourcePath, L"C:\\src\\apThree.dll");

    EXPECT_EQ(table.FindByModuleName(L"APTWO.DLL"), 1);
    EXPECT_EQ(table.FindByModuleName(L"apFive.dll"), -1);

    table.RemoveRow(1);
    ExpectInSync(table, list);
    EXPECT_EQ(table.moduleName.GetAt(1), L"apThree.dll") << "later rows shift down by one";
    EXPECT_EQ(list.GetItemText(1, kColumnVersion), L"3.0");

    table.SetMenuName(0, L"새 이름");
    list.SetItemText(0, kColumnMenuName, L"새 이름");
    ExpectInSync(table, list);

    table.Clear();
    ExpectInSync(table, list);
    EXPECT_EQ(list.GetItemCount(), 0);
}

TEST(ModuleTable, MarkReplacedKeepsTheTableAndShowsTheNewFile)
{
    TestList window;
    CListCtrl& list = window.List();
    ModuleTable table(list);
    table.AppendLoadedRow(Row(L"", L"Foo", L"옛 이름"), L"1.0");

    table.MarkReplaced(0, L"D:\\new\\apFoo.dll", L"apFoo.dll", L"새 설명", L"2.0");
    EXPECT_EQ(table.status.GetAt(0), kStatusReplaced);
    EXPECT_EQ(table.sourcePath.GetAt(0), L"D:\\new\\apFoo.dll");
    EXPECT_EQ(table.menuName.GetAt(0), L"옛 이름");
    EXPECT_EQ(table.dllFileName.GetAt(0), L"apFoo.dll");
    EXPECT_EQ(list.GetItemText(0, kColumnStatus), kStatusReplaced);
    EXPECT_EQ(list.GetItemText(0, kColumnMenuName), L"새 설명");
    EXPECT_EQ(list.GetItemText(0, kColumnVersion), L"2.0");
    ExpectInSync(table, list);
}

TEST(ModuleTable, RefreshAddedTakesTheNewerFileForAPendingAddition)
{
    TestList window;
    CListCtrl& list = window.List();
    ModuleTable table(list);
    table.AppendAddedRow(Row(kStatusAdded, L"Foo", L"first"), L"1.0");
    ModuleRow newer{kStatusAdded, L"apFoo2.dll", L"apFoo.dll", L"second", L"E:\\apFoo2.dll"};
    table.RefreshAdded(0, newer, L"1.1");
    EXPECT_EQ(table.GetRow(0).sourcePath, L"E:\\apFoo2.dll");
    EXPECT_EQ(table.GetRow(0).dllFileName, L"apFoo2.dll");
    EXPECT_EQ(list.GetItemText(0, kColumnVersion), L"1.1");
    ExpectInSync(table, list);
}

TEST(ModuleTable, LongTextsSurviveTheListRoundTrip)
{
    TestList window;
    CListCtrl& list = window.List();
    ModuleTable table(list);
    std::wstring longName(4000, L'가');
    table.AppendAddedRow(Row(kStatusAdded, L"Long", longName), L"");
    EXPECT_EQ(table.menuName.GetAt(0), longName);
    EXPECT_EQ(list.GetItemText(0, kColumnMenuName), longName) << "GetItemText must grow past its first buffer";
}
