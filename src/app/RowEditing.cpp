#include "app/RowEditing.h"

#include "app/ModuleTable.h"
#include "framework/ListCtrl.h"
#include "resource.h"

int DeleteSelectedRows(ModuleTable& table, const CListCtrl& list)
{
    int removed = 0;
    for (int i = list.GetItemCount() - 1; i >= 0; --i) {
        if (!list.IsItemSelected(i) || i >= table.GetCount())
            continue;
        if (EqualsNoCase(table.dllFileName.GetAt(i), kProtectedModuleFile))
            continue;
        table.RemoveRow(i);
        ++removed;
    }
    return removed;
}

CellEditDecision StoreEditedMenuName(ModuleTable& table, std::uintptr_t controlId, int row, int column,
                                     const std::wstring& text)
{
    if (controlId != IDC_MODULE_LIST || column != kColumnMenuName || row < 0 || row >= table.GetCount())
        return CellEditDecision::Ignored;
    if (text.empty())
        return CellEditDecision::RefusedEmpty;
    table.SetMenuName(row, text);
    return CellEditDecision::Stored;
}

void RestoreMenuNameCell(const ModuleTable& table, const CListCtrl& list, int row)
{
    if (row >= 0 && row < table.GetCount())
        list.SetItemText(row, kColumnMenuName, table.menuName.GetAt(row));
}
