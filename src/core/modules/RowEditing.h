#pragma once
// Changes the user makes to rows already in the module list: deleting selected rows and
// storing a menu name edited in place. Memory only; Apply decides what reaches the disk.
#include <string>
#include <vector>

class ModuleTable;

// The one module whose row is never removed (DLL file name, compared ignoring case).
inline constexpr wchar_t kProtectedModuleFile[] = L"apMorvane.dll";

// Removes the given rows except the protected one. Returns the rows removed, highest
// first, so a view can remove the same items one by one.
std::vector<int> DeleteSelectedRows(ModuleTable& table, std::vector<int> selected);

enum class CellEditDecision {
    Ignored,       // another column or no such row: nothing changed
    Stored,        // the text is now the row's menu name
    RefusedEmpty,  // an empty name: tell the user and show the stored name again
};

// The end of an in-place edit of cell (row, column) of the module list with text.
CellEditDecision StoreEditedMenuName(ModuleTable& table, int row, int column, const std::wstring& text);
