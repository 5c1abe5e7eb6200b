#pragma once
// The in-memory model behind the module list: five parallel columns, one element per
// list row, and the list control that mirrors them. Every operation keeps the columns
// and the list at the same length with row i describing the same module everywhere.
#include <string>

#include "app/CiStCStringArray.h"
#include "framework/ListCtrl.h"

// List columns, in the order the dialog inserts them.
enum ModuleListColumn { kColumnStatus = 0, kColumnModuleName = 1, kColumnMenuName = 2, kColumnVersion = 3 };

// Row statuses; compared ignoring letter case.
inline const std::wstring kStatusLoaded = L"";
inline const std::wstring kStatusAdded = L"추가";
inline const std::wstring kStatusReplaced = L"교체";
inline const std::wstring kStatusExisting = L"기존모듈";

struct ModuleRow {
    std::wstring status;
    std::wstring dllFileName;
    std::wstring moduleName;
    std::wstring menuName;
    std::wstring sourcePath;
};

class ModuleTable {
public:
    explicit ModuleTable(CListCtrl& list) : list_(list) {}

    int GetCount() const { return status.GetSize(); }
    ModuleRow GetRow(int i) const;

    // Deletes every list item, then empties the five columns.
    void Clear();
    // Appends a row loaded from the menu file (columns in loading order).
    void AppendLoadedRow(const ModuleRow& row, const std::wstring& version);
    // Appends a row for a module chosen for deployment (columns in adding order).
    void AppendAddedRow(const ModuleRow& row, const std::wstring& version);
    // Index of the first row whose module name equals moduleName ignoring case, or -1.
    int FindByModuleName(const std::wstring& moduleName) const { return this->moduleName.FindNoCase(moduleName); }
    // Marks row r replaced by the file at sourcePath. The table keeps the row's DLL file
    // name, module name and menu name; the list shows the new file's values.
    void MarkReplaced(int r, const std::wstring& newSourcePath, const std::wstring& newModuleName,
                      const std::wstring& newDescription, const std::wstring& newVersion);
    // Turns a pending "추가" row over to a newer file of the same module: it stays an
    // addition, with the new file's values in table and list.
    void RefreshAdded(int r, const ModuleRow& row, const std::wstring& version);
    void SetMenuName(int r, const std::wstring& name) { menuName.SetAt(r, name); }
    void RemoveRow(int r);

    CiStCStringArray status;
    CiStCStringArray dllFileName;
    CiStCStringArray moduleName;
    CiStCStringArray menuName;
    CiStCStringArray sourcePath;

private:
    void InsertListRow(const ModuleRow& row, const std::wstring& version);
    void ShowListRow(int r, const std::wstring& status, const std::wstring& moduleName,
                     const std::wstring& menuName, const std::wstring& version);

    CListCtrl& list_;
};
