#include "core/apply/Apply.h"

#include <windows.h>

#include <map>

#include "core/apply/Deploy.h"
#include "core/menu/CiStTextFile.h"
#include "core/menu/CodePage949.h"
#include "core/menu/MenuFormat.h"
#include "core/table/ModuleCatalogue.h"
#include "core/table/ModuleName.h"
#include "core/table/ModuleTable.h"
#include "platform/FileCopy.h"
#include "platform/Paths.h"
#include "platform/TempFile.h"

namespace {

struct PlannedCopy {
    std::wstring source;
    std::wstring targetName;
    bool safe = false;
};

// What Apply will do for one added or replaced row, decided before anything is written.
struct RowPlan {
    std::wstring module;
    int catalogueIndex = -1;  // the catalogue name an added module takes
    bool noFreeName = false;
    bool noFileFound = false;
    bool hasEntry = false;
    std::wstring entry;
    std::vector<PlannedCopy> copies;
};

std::wstring ModuleLabel(const ModuleRow& row)
{
    // A file without an InternalName has the module name "ap" alone, which says nothing.
    return row.moduleName == kModulePrefix ? FileNameOf(row.sourcePath) : row.moduleName;
}

// Each source folder is searched once per run, however many modules come from it.
using FolderListings = std::map<std::wstring, std::vector<std::wstring>>;

// The files of a module: those of its source folder whose names hold its match key. An
// empty key would take the whole folder, so then the chosen file goes alone.
void CollectModuleFiles(const ModuleRow& row, FolderListings& listings, CStringArray& paths, CStringArray& names)
{
    if (MatchKey(row.moduleName).empty()) {
        paths.Add(row.sourcePath);
        names.Add(FileNameOf(row.sourcePath));
        return;
    }
    const std::wstring folder = FolderOf(row.sourcePath);
    auto listing = listings.find(folder);
    if (listing == listings.end())
        listing = listings.emplace(folder, ListFolderFiles(folder)).first;
    FindModuleFiles(folder, listing->second, row.moduleName, paths, names);
}

// Targets under the files' own names (no naming base) or under names the base decides.
void PlanCopies(RowPlan& plan, const CStringArray& paths, const CStringArray& names, const std::wstring* namingBase)
{
    for (int i = 0; i < paths.GetSize(); ++i) {
        const std::wstring& name = names.GetAt(i);
        PlannedCopy copy{paths.GetAt(i), namingBase ? TargetName(name, *namingBase) : name};
        copy.safe = IsPlainFileName(copy.targetName) && (copy.targetName == name || IsUsableNamingBase(*namingBase));
        plan.copies.push_back(std::move(copy));
    }
}

std::vector<RowPlan> PlanRows(const ModuleTable& table, const ModuleCatalogue& catalogue)
{
    // Names are handed out on a copy: a run refused before copying must leave every flag.
    ModuleCatalogue taken = catalogue;
    std::vector<RowPlan> plans;
    FolderListings listings;
    for (int i = 0; i < table.GetCount(); ++i) {
        const ModuleRow& row = table.GetRow(i);
        const bool added = row.status == RowStatus::Added;
        if (!added && row.status != RowStatus::Replaced)
            continue;

        RowPlan plan;
        plan.module = ModuleLabel(row);
        CStringArray paths, names;
        CollectModuleFiles(row, listings, paths, names);
        plan.noFileFound = paths.IsEmpty();

        const int k = taken.Find(row.moduleName);
        if (k != -1 && !taken.IsPresent(k)) {
            if (added) {
                taken.MarkPresent(k);
                plan.catalogueIndex = k;
                plan.hasEntry = true;
                plan.entry = ComposeMenuEntry(row.moduleName, row.menuName);
            }
            PlanCopies(plan, paths, names, nullptr);
        } else if (added) {
            const int free = taken.FirstFree();
            if (free == -1) {
                plan.noFreeName = true;
                plan.noFileFound = false;
            } else {
                taken.MarkPresent(free);
                plan.catalogueIndex = free;
                const std::wstring base = taken.Name(free);
                plan.hasEntry = true;
                plan.entry = ComposeMenuEntry(base, row.menuName);
                PlanCopies(plan, paths, names, &base);
            }
        } else {
            PlanCopies(plan, paths, names, &row.dllFileName);
        }
        plans.push_back(std::move(plan));
    }
    return plans;
}

char32_t CharacterAt(const std::wstring& text, size_t i)
{
    const char32_t unit = text[i];
    if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
        return 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00);
    return unit;
}

std::vector<UnencodableEntry> FindUnencodable(const std::vector<RowPlan>& plans)
{
    std::vector<UnencodableEntry> found;
    std::string bytes;
    for (const RowPlan& plan : plans)
        if (plan.hasEntry)
            if (auto bad = EncodeCp949(plan.entry, bytes))
                found.push_back({plan.module, CharacterAt(plan.entry, *bad)});
    return found;
}

// The flag goes first and the entry is kept whatever the copies do, so a module that
// obtained a name always keeps it.
std::vector<std::wstring> Deploy(const std::vector<RowPlan>& plans, ModuleCatalogue& catalogue,
                                 const std::wstring& addInFolder, ApplyOutcome& outcome)
{
    std::vector<std::wstring> entries;
    for (const RowPlan& plan : plans) {
        if (plan.catalogueIndex >= 0)
            catalogue.MarkPresent(plan.catalogueIndex);
        ModuleProblem problem{plan.module, plan.noFreeName, plan.noFileFound, {}};
        for (const PlannedCopy& copy : plan.copies) {
            if (!copy.safe) {
                problem.failedCopies.push_back({copy.targetName, CopyFailure::NameNotAllowed, 0});
                continue;
            }
            const unsigned long error = CopyFileWhole(copy.source, addInFolder + L"\\" + copy.targetName);
            if (error != ERROR_SUCCESS)
                problem.failedCopies.push_back({copy.targetName, ClassifyCopyError(error), error});
            else
                ++outcome.filesCopied;
        }
        if (plan.hasEntry)
            entries.push_back(plan.entry);
        if (problem.noFreeName || problem.noFileFound || !problem.failedCopies.empty())
            outcome.problems.push_back(std::move(problem));
    }
    return entries;
}

}  // namespace

ApplyOutcome ApplyPendingModules(const ModuleTable& table, ModuleCatalogue& catalogue, const std::wstring& addInFolder)
{
    ApplyOutcome outcome;
    if (addInFolder.empty()) {
        outcome.result = ApplyResult::NoHost;
        return outcome;
    }
    const std::vector<RowPlan> plans = PlanRows(table, catalogue);
    outcome.unencodable = FindUnencodable(plans);
    if (!outcome.unencodable.empty()) {
        outcome.result = ApplyResult::UnencodableText;
        return outcome;
    }

    if (!PathExists(addInFolder))
        CreateFolderChain(addInFolder);
    CiStTextFile menu;
    if (!PathExists(addInFolder) || !menu.ReadLinesForRewrite(MenuFilePath(addInFolder))) {
        outcome.result = ApplyResult::MenuFileNotWritable;
        return outcome;
    }
    // Holding the menu file, no other run of the tool is mid-copy in this folder.
    RemoveToolTempFiles(addInFolder);

    const ModuleCatalogue before = catalogue;
    const std::vector<std::wstring> entries = Deploy(plans, catalogue, addInFolder, outcome);
    const RewriteResult written = menu.WriteRewrite(entries);
    menu.Close();
    if (!written.ok) {
        // The menu file kept its old lines, so the names handed out are not in use; a
        // second Apply of the same pending rows must find them free again.
        catalogue = before;
        outcome.result = ApplyResult::MenuFileNotWritable;
        return outcome;
    }
    outcome.entriesAppended = static_cast<int>(entries.size());
    return outcome;
}

CopyFailure ClassifyCopyError(unsigned long systemError)
{
    switch (systemError) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return CopyFailure::SourceMissing;
    case ERROR_ACCESS_DENIED:  // also what replacing a DLL a running host holds gives
        return CopyFailure::AccessDenied;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return CopyFailure::InUse;
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_DISK_FULL:
        return CopyFailure::DiskFull;
    case ERROR_FILE_READ_ONLY:
        return CopyFailure::ReadOnly;
    default:
        return CopyFailure::Other;
    }
}
