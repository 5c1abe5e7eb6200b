#include "core/apply/Apply.h"

#include <windows.h>

#include <map>

#include "core/apply/ApplyJournal.h"
#include "core/menu/CiStTextFile.h"
#include "core/menu/CodePage949.h"
#include "core/menu/MenuFormat.h"
#include "core/table/ModuleCatalogue.h"
#include "core/table/ModuleTable.h"
#include "platform/Paths.h"

namespace {

// Encodes a menu name, or records the module and the first character the menu file
// cannot hold.
bool EncodeMenuName(const std::wstring& module, const std::wstring& name, std::string& bytes, ApplyOutcome& outcome)
{
    if (const std::optional<size_t> bad = FirstUnstorable(name)) {
        outcome.unencodable.push_back({module, CharacterAt(name, *bad)});
        return false;
    }
    EncodeCp949(name, bytes);
    return true;
}

// The copies that will be made, in the order the journal numbers their targets.
std::vector<const PlannedCopy*> SafeCopies(const ApplyPlan& plan)
{
    std::vector<const PlannedCopy*> copies;
    for (const ModulePlan& module : plan.modules)
        for (const PlannedCopy& copy : module.copies)
            if (copy.safe)
                copies.push_back(&copy);
    return copies;
}

// The flag goes first and the entry is kept whatever the copies do, so a module that
// obtained a name always keeps it.
std::vector<std::wstring> Deploy(const ApplyPlan& plan, ModuleCatalogue& catalogue, ApplyJournal& journal,
                                 const std::wstring& addInFolder, ApplyOutcome& outcome)
{
    std::vector<std::wstring> entries;
    size_t target = 0;
    for (const ModulePlan& module : plan.modules) {
        if (module.catalogueIndex >= 0)
            catalogue.MarkPresent(module.catalogueIndex);
        ModuleProblem problem{module.module, module.noFreeName, {}};
        for (const PlannedCopy& copy : module.copies) {
            const unsigned long error = copy.safe ? journal.Replace(target++, copy.source) : ERROR_INVALID_NAME;
            if (!copy.safe)
                problem.failedCopies.push_back({copy.targetName, CopyFailure::NameNotAllowed, error});
            else if (error != ERROR_SUCCESS)
                problem.failedCopies.push_back({copy.targetName, ClassifyCopyError(error), error});
            else
                outcome.written.push_back(addInFolder + L"\\" + copy.targetName);
        }
        for (const SkippedCopy& skipped : module.skipped)
            outcome.skipped.push_back({module.module, skipped});
        if (!module.entry.empty())
            entries.push_back(module.entry);
        if (problem.noFreeName || !problem.failedCopies.empty())
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
    ApplyPlan plan = PlanModules(table, catalogue);
    std::string bytes;
    for (const ModulePlan& module : plan.modules) {
        // The name first, then the whole line: the stem comes from the module's own name.
        if (module.entry.empty() || !EncodeMenuName(module.module, table.GetRow(module.row).menuName, bytes, outcome))
            continue;
        if (auto bad = EncodeCp949(module.entry, bytes))
            outcome.unencodable.push_back({module.module, CharacterAt(module.entry, *bad)});
    }
    if (!outcome.unencodable.empty()) {
        outcome.result = ApplyResult::UnencodableText;
        return outcome;
    }

    if (!PathExists(addInFolder))
        CreateFolderChain(addInFolder);
    // A run that was killed is put back before this one looks at the folder.
    RecoverUnfinishedApply(addInFolder);
    CiStTextFile menu;
    if (!PathExists(addInFolder) || !menu.ReadLinesForRewrite(MenuFilePath(addInFolder))) {
        outcome.result = ApplyResult::MenuFileNotWritable;
        // A folder that could not be made is one the user may not write in.
        outcome.menuFailure = PathExists(addInFolder) ? ClassifyMenuError(menu.GetOpenError()) : MenuFailure::NoPermission;
        return outcome;
    }
    std::map<int, std::optional<std::string>> renamedLines;
    for (const MenuNameChange& change : PlanMenuNameChanges(table, menu))
        if (EncodeMenuName(change.module, change.menuName, bytes, outcome))
            if (auto line = WithMenuName(menu.GetRawLine(change.line), bytes))
                renamedLines[change.line] = *line;
    if (!outcome.unencodable.empty()) {
        outcome.result = ApplyResult::UnencodableText;
        return outcome;
    }
    ResolveTargets(plan, menu);

    std::vector<std::wstring> targets;
    for (const PlannedCopy* copy : SafeCopies(plan))
        targets.push_back(copy->targetName);
    ApplyJournal journal;
    if (!journal.Begin(addInFolder, targets, !menu.IsAbsent(), menu.GetRawContent())) {
        outcome.result = ApplyResult::MenuFileNotWritable;
        outcome.menuFailure = MenuFailure::NoPermission;
        return outcome;
    }
    const ModuleCatalogue before = catalogue;
    const std::vector<std::wstring> entries = Deploy(plan, catalogue, journal, addInFolder, outcome);
    if (!menu.WriteRewrite(entries, renamedLines).ok) {
        // All or nothing: every file goes back, and the names handed out are free again.
        journal.RollBack();
        catalogue = before;
        outcome = {};
        outcome.result = ApplyResult::MenuFileNotWritable;
        outcome.menuFailure = MenuFailure::Held;
        return outcome;
    }
    journal.Finish();
    outcome.filesCopied = static_cast<int>(outcome.written.size());
    outcome.written.push_back(MenuFilePath(addInFolder));
    outcome.entriesAppended = static_cast<int>(entries.size());
    outcome.namesChanged = static_cast<int>(renamedLines.size());
    return outcome;
}

MenuFailure ClassifyMenuError(unsigned long systemError)
{
    switch (systemError) {
    case ERROR_SUCCESS:
        return MenuFailure::None;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return MenuFailure::Held;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
        return MenuFailure::NoPermission;
    default:
        return MenuFailure::Other;
    }
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
