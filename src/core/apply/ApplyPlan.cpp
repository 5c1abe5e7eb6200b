#include "core/apply/ApplyPlan.h"

#include <map>

#include "core/apply/Deploy.h"
#include "core/menu/CiStTextFile.h"
#include "core/menu/MenuFormat.h"
#include "core/table/CiStCStringArray.h"
#include "core/table/ModuleCatalogue.h"
#include "core/table/ModuleName.h"
#include "core/table/ModuleTable.h"
#include "platform/Paths.h"

namespace {

std::wstring ModuleLabel(const ModuleRow& row)
{
    // A file without an InternalName has the module name "ap" alone, which says nothing.
    return row.moduleName == kModulePrefix ? FileNameOf(row.sourcePath) : row.moduleName;
}

// Each source folder is searched once per run, however many modules come from it.
using FolderListings = std::map<std::wstring, std::vector<std::wstring>>;

// The chosen file goes to the DLL its entry names; the other files of its folder whose
// names hold the match key go under their own names, or under the names base decides.
void PlanCopies(ModulePlan& plan, const ModuleRow& row, const std::wstring& base, FolderListings& listings)
{
    plan.copies.push_back({row.sourcePath, plan.dllName, IsPlainFileName(plan.dllName)});
    if (MatchKey(row.moduleName).empty())
        return;  // the key would take the whole folder
    const std::wstring folder = FolderOf(row.sourcePath), chosen = FileNameOf(row.sourcePath);
    auto listing = listings.find(folder);
    if (listing == listings.end())
        listing = listings.emplace(folder, ListFolderFiles(folder)).first;
    CStringArray paths, names;
    FindModuleFiles(folder, listing->second, row.moduleName, paths, names);
    for (int i = 0; i < paths.GetSize(); ++i) {
        const std::wstring& name = names.GetAt(i);
        if (EqualsNoCase(name, chosen))
            continue;
        const std::wstring target = base.empty() ? name : TargetName(name, base);
        if (EqualsNoCase(target, plan.dllName))
            plan.skipped.push_back({paths.GetAt(i), target, SkipReason::SameTarget});
        else
            plan.copies.push_back({paths.GetAt(i), target, IsPlainFileName(target) && (target == name || IsUsableNamingBase(base))});
    }
}

// Index of the entry line that names dllName, the line at hint first; -1 when none does.
int FindEntryLine(const CStringArray& lines, const std::wstring& dllName, int hint, CStringArray& fields)
{
    if (hint >= 0 && hint < lines.GetSize() && SplitMenuEntry(lines[hint], fields) && EqualsNoCase(EntryDllName(fields), dllName))
        return hint;
    for (int i = 0; i < lines.GetSize(); ++i)
        if (SplitMenuEntry(lines[i], fields) && EqualsNoCase(EntryDllName(fields), dllName))
            return i;
    return -1;
}

}  // namespace

ApplyPlan PlanModules(const ModuleTable& table, const ModuleCatalogue& catalogue)
{
    // Names are handed out on a copy: a run refused before copying must leave every flag.
    ModuleCatalogue taken = catalogue;
    ApplyPlan plan;
    FolderListings listings;
    for (int i = 0; i < table.GetCount(); ++i) {
        const ModuleRow& row = table.GetRow(i);
        ModulePlan module;
        module.row = i;
        module.module = ModuleLabel(row);
        module.added = row.status == RowStatus::Added;
        std::wstring base;  // empty: the files keep their own names
        if (row.status == RowStatus::Replaced) {
            module.dllName = base = row.dllFileName;
        } else if (!module.added) {
            continue;
        } else if (const int own = taken.Find(row.moduleName); own != -1 && !taken.IsPresent(own)) {
            module.catalogueIndex = own;
            module.dllName = kModulePrefix + ModuleStem(row.moduleName) + L".dll";
            module.entry = ComposeMenuEntry(row.moduleName, row.menuName);
        } else if (const int free = taken.FirstFree(); free != -1) {
            module.catalogueIndex = free;
            module.dllName = base = taken.Name(free);
            module.entry = ComposeMenuEntry(base, row.menuName);
        } else {
            module.noFreeName = true;
        }
        if (module.catalogueIndex != -1)
            taken.MarkPresent(module.catalogueIndex);
        if (!module.noFreeName)
            PlanCopies(module, row, base, listings);
        plan.modules.push_back(std::move(module));
    }
    return plan;
}

void ResolveTargets(ApplyPlan& plan, const CiStTextFile& menu)
{
    std::vector<std::wstring> listed, claimed;
    CStringArray fields;
    for (const std::wstring& line : menu.GetLines())
        if (SplitMenuEntry(line, fields))
            listed.push_back(EntryDllName(fields));
    const auto contains = [](const std::vector<std::wstring>& names, const std::wstring& name) {
        for (const std::wstring& n : names)
            if (EqualsNoCase(n, name))
                return true;
        return false;
    };
    const auto othersFile = [&](const std::wstring& target, const std::wstring& own) {
        for (const std::wstring& dll : listed)
            if (!EqualsNoCase(dll, own) && (EqualsNoCase(target, dll) || IsPictureOf(target, dll)))
                return true;
        return false;
    };
    // Every module's own DLL first, then the other files in row order.
    for (const ModulePlan& module : plan.modules)
        if (!module.copies.empty())
            claimed.push_back(module.copies.front().targetName);
    for (ModulePlan& module : plan.modules) {
        for (size_t c = 1; c < module.copies.size();) {
            const PlannedCopy& copy = module.copies[c];
            const bool taken = contains(claimed, copy.targetName);
            if (taken || othersFile(copy.targetName, module.dllName)) {
                module.skipped.push_back({copy.source, copy.targetName, taken ? SkipReason::SameTarget : SkipReason::OtherModulesFile});
                module.copies.erase(module.copies.begin() + static_cast<long>(c));
            } else {
                claimed.push_back(copy.targetName);
                ++c;
            }
        }
    }
}

std::vector<MenuNameChange> PlanMenuNameChanges(const ModuleTable& table, const CiStTextFile& menu)
{
    std::vector<MenuNameChange> changes;
    CStringArray fields;
    for (int i = 0; i < table.GetCount(); ++i) {
        const ModuleRow& row = table.GetRow(i);
        if (row.status == RowStatus::Added)
            continue;
        const int line = FindEntryLine(menu.GetLines(), row.dllFileName, row.menuLine, fields);
        if (line != -1 && fields.GetAt(1) != row.menuName)
            changes.push_back({ModuleLabel(row), line, row.menuName});
    }
    return changes;
}
