#pragma once
// The in-memory model behind the module list: one row per list row, in list order.
// The dialog mirrors it into the list; row i describes the same module in both.
#include <string>
#include <vector>

// The list's columns, in the order the dialog inserts them.
enum ModuleListColumn { kColumnStatus = 0, kColumnModuleName = 1, kColumnMenuName = 2, kColumnVersion = 3 };

enum class RowStatus {
    Loaded,    // listed in the menu file
    Added,     // chosen for deployment, not installed yet
    Replaced,  // installed, and a newer file was chosen for it
};

struct ModuleRow {
    RowStatus status = RowStatus::Loaded;
    std::wstring dllFileName;
    std::wstring moduleName;
    std::wstring menuName;
    std::wstring sourcePath;
    int menuLine = -1;  // the menu file's line a loaded row came from
};

// What the list shows for a row besides its status.
struct ShownCells {
    std::wstring moduleName;
    std::wstring menuName;
    std::wstring version;
};

// Whether a user's name for a module ("apFoo.dll", "apFoo", "Foo", any case) names the
// row's module, by its module name or its DLL file name.
bool RowNamesModule(const ModuleRow& row, const std::wstring& name);

class ModuleTable {
public:
    int GetCount() const { return static_cast<int>(rows_.size()); }
    const ModuleRow& GetRow(int i) const { return rows_.at(static_cast<size_t>(i)).row; }
    const ShownCells& GetShown(int i) const { return rows_.at(static_cast<size_t>(i)).shown; }

    void Clear();
    // Appends a row; the list shows its own names and version. A loaded row is also
    // remembered as installed, whatever later happens to it in the list.
    void AppendRow(const ModuleRow& row, const std::wstring& version);
    // Index of the first row whose module name equals moduleName ignoring case, or -1.
    // The bare prefix "ap" (a file without an InternalName) names no module: never found.
    int FindByModuleName(const std::wstring& moduleName) const;
    // As FindByModuleName, but an installed module deleted from the list is first shown
    // again as loaded, so that a file chosen for it replaces it instead of installing
    // a second copy.
    int FindOrRestoreModule(const std::wstring& moduleName);
    // Marks row r replaced by the file at newSourcePath. The row keeps its DLL file
    // name, module name and menu name; the list shows the new file's values.
    void MarkReplaced(int r, const std::wstring& newSourcePath, const ShownCells& newFile);
    // Turns a pending addition over to a newer file of the same module.
    void RefreshAdded(int r, const ModuleRow& row, const std::wstring& version);
    void SetMenuName(int r, const std::wstring& name);
    // Puts row r back as earlier has it: the same table before a change to that row.
    void RestoreRow(int r, const ModuleTable& earlier) { At(r) = earlier.rows_.at(static_cast<size_t>(r)); }
    void RemoveRow(int r);

private:
    struct Entry {
        ModuleRow row;
        ShownCells shown;
    };
    Entry& At(int r) { return rows_.at(static_cast<size_t>(r)); }

    std::vector<Entry> rows_;
    std::vector<ModuleRow> installed_;
};
