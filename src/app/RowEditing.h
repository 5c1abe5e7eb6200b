#pragma once
// Changes the user makes to rows already in the module list: deleting selected rows and
// storing a menu name edited in place. Memory only; Apply decides what reaches the disk.
#include <cstdint>
#include <string>

class CListCtrl;
class ModuleTable;

// The one module whose row is never removed (DLL file name, compared ignoring case).
inline constexpr wchar_t kProtectedModuleFile[] = L"apMorvane.dll";
inline constexpr wchar_t kEmptyMenuNameMessage[] = L"메뉴명칭은 반드시 들어가야합니다.";

// Removes every row selected in list except the protected one, last row first, from
// the table and the list together. Returns how many rows went.
int DeleteSelectedRows(ModuleTable& table, const CListCtrl& list);

enum class CellEditDecision {
    Ignored,       // another control, another column or no such row: nothing changed
    Stored,        // the text is now the row's menu name
    RefusedEmpty,  // an empty name: tell the user, then RestoreMenuNameCell
};

// The end of an in-place edit of cell (row, column) in control controlId with text.
CellEditDecision StoreEditedMenuName(ModuleTable& table, std::uintptr_t controlId, int row, int column,
                                     const std::wstring& text);

// Puts the table's menu name of row back into the list's menu-name cell.
void RestoreMenuNameCell(const ModuleTable& table, const CListCtrl& list, int row);
