#pragma once
// What an Apply will do, decided before anything is written: for every added or
// replaced row, the catalogue name it takes, the menu entry it adds, and which file goes
// to which target; and for every installed row whose menu name was edited, the new name.
#include <string>
#include <vector>

class CiStTextFile;
class ModuleCatalogue;
class ModuleTable;

struct PlannedCopy {
    std::wstring source;
    std::wstring targetName;
    bool safe = true;  // false: the name would leave the add-in folder
};

enum class SkipReason {
    SameTarget,        // another file, the module's own DLL first, already goes there
    OtherModulesFile,  // the DLL or a picture of another module the menu file lists
};

struct SkippedCopy {
    std::wstring source;
    std::wstring targetName;
    SkipReason reason = SkipReason::SameTarget;
};

struct ModulePlan {
    int row = -1;
    std::wstring module;  // as the user knows it: the module name, or the file's name
    bool added = false;
    int catalogueIndex = -1;  // the catalogue name an added module takes
    bool noFreeName = false;
    std::wstring dllName;  // the DLL its entry names: where the chosen file goes
    std::wstring entry;    // the menu line an added module gets
    std::vector<PlannedCopy> copies;  // the chosen file first
    std::vector<SkippedCopy> skipped;
};

struct MenuNameChange {
    std::wstring module;
    int line = -1;
    std::wstring menuName;
};

struct ApplyPlan {
    std::vector<ModulePlan> modules;
    std::vector<MenuNameChange> renames;
};

// Plans the added and replaced rows on a copy of the catalogue. No file is written;
// source folders are listed.
ApplyPlan PlanModules(const ModuleTable& table, const ModuleCatalogue& catalogue);

// Leaves out the copies that would write one target twice or overwrite another listed
// module's DLL or pictures (menu holds the menu file's lines), recording them as skipped.
void ResolveTargets(ApplyPlan& plan, const CiStTextFile& menu);

// The menu-name changes of installed and replaced rows whose name differs from the one
// on their line of the menu file.
std::vector<MenuNameChange> PlanMenuNameChanges(const ModuleTable& table, const CiStTextFile& menu);
