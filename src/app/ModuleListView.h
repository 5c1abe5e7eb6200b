#pragma once
// The module list as a view of the module table: item i always shows row i.
#include <vector>

#include "core/table/ModuleTable.h"
#include "framework/ListCtrl.h"

// Makes every item show its row (status, module name, menu name, version), adding
// items for new rows at the end and removing items past the last row. Items that
// stay keep their selection.
void ShowTable(const ModuleTable& table, const CListCtrl& list);

// The indexes of the selected items, in ascending order.
std::vector<int> SelectedItems(const CListCtrl& list);
