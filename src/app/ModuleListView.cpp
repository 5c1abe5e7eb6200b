#include "app/ModuleListView.h"

#include "texts/Messages.h"

void ShowTable(const ModuleTable& table, const CListCtrl& list)
{
    const int rows = table.GetCount();
    for (int i = list.GetItemCount() - 1; i >= rows; --i)
        list.DeleteItem(i);
    for (int i = 0; i < rows; ++i) {
        const std::wstring status = StatusLabel(table.GetRow(i).status);
        if (i >= list.GetItemCount())
            list.InsertItem(i, status);
        else
            list.SetItem(i, status);
        const ShownCells& shown = table.GetShown(i);
        list.SetItemText(i, kColumnModuleName, shown.moduleName);
        list.SetItemText(i, kColumnMenuName, shown.menuName);
        list.SetItemText(i, kColumnVersion, shown.version);
    }
}

std::vector<int> SelectedItems(const CListCtrl& list)
{
    std::vector<int> selected;
    for (int i = 0; i < list.GetItemCount(); ++i)
        if (list.IsItemSelected(i))
            selected.push_back(i);
    return selected;
}
