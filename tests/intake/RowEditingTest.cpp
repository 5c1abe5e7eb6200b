#include <gtest/gtest.h>

#include "app/RowEditing.h"
#include "app/ModuleTable.h"
#include "resource.h"
#include "support/TestList.h"
#include "support/TestSupport.h"

namespace {

struct RowsScene {
    TestList list;
    ModuleTable table{list.List()};

    explicit RowsScene(std::initializer_list<const wchar_t*> dllNames)
    {
        for (const wchar_t* name : dllNames)
            table.AppendLoadedRow({L"", name, std::wstring(L"mod_") + name, std::wstring(L"menu_") + name,
                                   std::wstring(L"C:\\h\\") + name}, L"");
    }
    // Each column and the list, row by row, as "dll" names; fails on any misalignment.
    std::vector<std::wstring> Rows()
    {
        std::vector<std::wstring> rows;
        EXPECT_EQ(list.List().GetItemCount(), table.GetCount());
        for (int i = 0; i < table.GetCount(); ++i) {
            const ModuleRow row = table.GetRow(i);
            EXPECT_EQ(row.moduleName, L"mod_" + row.dllFileName);
            EXPECT_EQ(row.menuName, L"menu_" + row.dllFileName);
            EXPECT_EQ(row.sourcePath, L"C:\\h\\" + row.dllFileName);
            EXPECT_EQ(list.List().GetItemText(i, kColumnModuleName), row.moduleName) << "list row " << i;
            rows.push_back(row.dllFileName);
        }
        return rows;
    }
};

}  // namespace

TEST(DeleteSelectedRows, RemovesExactlyTheSelectedRowsKeepingTheProtectedOne)
{
    RowsScene six({L"a", L"b", L"c", L"d", L"e", L"f"});
    six.list.Select({0, 2, 3});
    EXPECT_EQ(DeleteSelectedRows(six.table, six.list.List()), 3);
    EXPECT_EQ(six.Rows(), (std::vector<std::wstring>{L"b", L"e", L"f"}));

    six.list.Select({});
    EXPECT_EQ(DeleteSelectedRows(six.table, six.list.List()), 0);
    EXPECT_EQ(six.Rows().size(), 3u);

    RowsScene guarded({L"apOne.dll", L"APMORVANE.DLL", L"apTwo.dll", L"apmorvane.dll"});
    guarded.list.Select({0, 1, 2, 3});
    EXPECT_EQ(DeleteSelectedRows(guarded.table, guarded.list.List()), 2);
    EXPECT_EQ(guarded.Rows(), (std::vector<std::wstring>{L"APMORVANE.DLL", L"apmorvane.dll"}));
}

TEST(StoreEditedMenuName, StoresTextRefusesEmptyAndIgnoresOtherCells)
{
    RowsScene scene({L"apA.dll", L"apB.dll"});
    CListCtrl& list = scene.list.List();
    scene.table.MarkReplaced(1, L"C:\\new\\apB.dll", L"mod_apB.dll", L"new description", L"2.0");

    EXPECT_EQ(StoreEditedMenuName(scene.table, IDC_MODULE_LIST + 1, 0, kColumnMenuName, L"x"), CellEditDecision::Ignored);
    EXPECT_EQ(StoreEditedMenuName(scene.table, IDC_MODULE_LIST, 0, kColumnModuleName, L"x"), CellEditDecision::Ignored);
    EXPECT_EQ(StoreEditedMenuName(scene.table, IDC_MODULE_LIST, 5, kColumnMenuName, L"x"), CellEditDecision::Ignored);
    EXPECT_EQ(StoreEditedMenuName(scene.table, IDC_MODULE_LIST, -1, kColumnMenuName, L""), CellEditDecision::Ignored);
    EXPECT_EQ(scene.table.GetRow(0).menuName, L"menu_apA.dll");

    list.SetItemText(0, kColumnMenuName, L"새 이름");
    EXPECT_EQ(StoreEditedMenuName(scene.table, IDC_MODULE_LIST, 0, kColumnMenuName, L"새 이름"),
              CellEditDecision::Stored);
    EXPECT_EQ(scene.table.GetRow(0).menuName, L"새 이름");
    list.SetItemText(0, kColumnMenuName, L"");
    EXPECT_EQ(StoreEditedMenuName(scene.table, IDC_MODULE_LIST, 0, kColumnMenuName, L""),
              CellEditDecision::RefusedEmpty);
    RestoreMenuNameCell(scene.table, list, 0);
    EXPECT_EQ(list.GetItemText(0, kColumnMenuName), L"새 이름") << "the last stored name comes back";
    EXPECT_EQ(scene.table.GetRow(0).menuName, L"새 이름");

    EXPECT_EQ(list.GetItemText(1, kColumnMenuName), L"new description");
    list.SetItemText(1, kColumnMenuName, L"");
    EXPECT_EQ(StoreEditedMenuName(scene.table, IDC_MODULE_LIST, 1, kColumnMenuName, L""),
              CellEditDecision::RefusedEmpty);
    RestoreMenuNameCell(scene.table, list, 1);
    EXPECT_EQ(list.GetItemText(1, kColumnMenuName), L"menu_apB.dll")
        << "a replaced row shows its stored name, not the new file's description";

    EXPECT_EQ(StoreEditedMenuName(scene.table, IDC_MODULE_LIST, 1, kColumnMenuName, L"   "),
              CellEditDecision::Stored)
        << "blanks are a name";
    EXPECT_EQ(scene.table.GetRow(1).menuName, L"   ");
}
