#include "cli/Commands.h"

#include <windows.h>

#include <algorithm>
#include <sstream>

#include "cli/ExitCodes.h"
#include "cli/Output.h"
#include "core/apply/Apply.h"
#include "core/apply/ApplyJournal.h"
#include "core/apply/Deploy.h"
#include "core/apply/Uninstall.h"
#include "core/host/HostFolder.h"
#include "core/menu/CiStTextFile.h"
#include "core/menu/CodePage949.h"
#include "core/menu/MenuFormat.h"
#include "core/menu/MenuLoader.h"
#include "core/modules/CiStFileInformation.h"
#include "core/modules/ModuleIntake.h"
#include "core/modules/ModuleMachine.h"
#include "core/table/ModuleName.h"
#include "platform/FileBytes.h"
#include "platform/Paths.h"
#include "texts/Messages.h"
#include "texts/Texts.h"

namespace {

struct Host {
    ModuleTable table;
    ModuleCatalogue catalogue;
};

// The host as the dialog shows it at start: a run cut short is put back first, unless
// the command is one that changes nothing.
void LoadHost(const std::wstring& addIn, Host& host, bool recover = true)
{
    host.catalogue.FillCatalogue();
    if (addIn.empty())
        return;
    if (recover)
        RecoverUnfinishedApply(addIn);
    LoadMenuFile(addIn, host.table, host.catalogue);
}

int NoHost(Output& out)
{
    out.Error(MenuNotWritableMessage(ApplyResult::NoHost, MenuFailure::None));
    return kExitNoHost;
}

int ExitForMenu(ApplyResult result, MenuFailure failure)
{
    if (result == ApplyResult::NoHost)
        return kExitNoHost;
    switch (failure) {
    case MenuFailure::Held:
        return kExitHeld;
    case MenuFailure::NoPermission:
        return kExitNoPermission;
    default:
        return kExitFailed;
    }
}

int ExitForApply(const ApplyOutcome& outcome, bool refused)
{
    if (outcome.result == ApplyResult::UnencodableText)
        return kExitRefused;
    if (outcome.result != ApplyResult::Applied)
        return ExitForMenu(outcome.result, outcome.menuFailure);
    for (const ModuleProblem& problem : outcome.problems)
        for (const FailedCopy& failed : problem.failedCopies)
            if (failed.reason == CopyFailure::InUse || failed.reason == CopyFailure::AccessDenied)
                return kExitHeld;
    if (!outcome.problems.empty())
        return kExitPartly;
    return refused ? kExitRefused : kExitDone;
}

std::wstring Machine(const std::wstring& path)
{
    int is64Bit = -1;
    if (!CheckModuleMachine(path, is64Bit))
        return L"?";
    return is64Bit ? L"x64" : L"x86 (32Bit)";
}

// Prints and records the plan of every added or replaced module: those of the files given.
void ReportPlan(Output& out, const Host& host, const ApplyPlan& plan, nlohmann::json& modules)
{
    for (const ModulePlan& module : plan.modules) {
        const ModuleRow& row = host.table.GetRow(module.row);
        nlohmann::json item = {{"module", Json(module.module)}, {"file", Json(row.sourcePath)},
                               {"replaces", !module.added}, {"installedAs", Json(module.dllName)},
                               {"menuLine", Json(module.entry)}, {"copies", nlohmann::json::array()},
                               {"warnings", nlohmann::json::array()}};
        out.Line(module.module + L"  (" + row.sourcePath + L")");
        out.Line(L"  " + std::wstring(kCheckInstalledAs) + L": " + (module.noFreeName ? kNoFreeName : module.dllName));
        if (!module.entry.empty())
            out.Line(L"  " + std::wstring(kCheckMenuLine) + L": " + module.entry);
        for (const PlannedCopy& copy : module.copies) {
            out.Line(L"  " + std::wstring(kCheckCopy) + L": " + copy.source + L" -> " + copy.targetName);
            item["copies"].push_back({{"from", Json(copy.source)}, {"to", Json(copy.targetName)}});
        }
        std::vector<std::wstring> warnings;
        if (!module.added)
            warnings.push_back(kWarnReplaces);
        if (row.moduleName == kModulePrefix)
            warnings.push_back(kWarnNoInternalName);
        if (const auto bad = FirstUnstorable(row.menuName))
            warnings.push_back(kWarnUnstorable + DescribeCharacter(CharacterAt(row.menuName, *bad)));
        if (module.noFreeName)
            warnings.push_back(kNoFreeName);
        for (const SkippedCopy& skipped : module.skipped)
            warnings.push_back(DescribeSkipped(module.module, skipped));
        for (const std::wstring& warning : warnings) {
            out.Line(L"  " + std::wstring(kCheckWarning) + L": " + warning);
            item["warnings"].push_back(Json(warning));
        }
        modules.push_back(item);
    }
}

ApplyPlan PlanOnHost(const Host& host, const std::wstring& addIn)
{
    ApplyPlan plan = PlanModules(host.table, host.catalogue);
    CiStTextFile menu;
    if (!addIn.empty())
        menu.ReadLines(MenuFilePath(addIn));
    menu.Close();
    ResolveTargets(plan, menu);
    return plan;
}

bool AnyUnstorable(const Host& host, const ApplyPlan& plan)
{
    return std::any_of(plan.modules.begin(), plan.modules.end(),
                       [&](const ModulePlan& m) { return FirstUnstorable(host.table.GetRow(m.row).menuName).has_value(); });
}

std::vector<std::wstring> FullPaths(Output& out, const std::vector<std::wstring>& files, bool& missing)
{
    std::vector<std::wstring> paths;
    for (const std::wstring& file : files) {
        const std::wstring full = FullPathOf(file);
        if (full.empty() || !PathExists(full) || IsFolder(full)) {
            out.Error(file + L": " + kCliNotAFile);
            missing = true;
        } else {
            paths.push_back(full);
        }
    }
    return paths;
}

}  // namespace

bool VersionLower(const std::wstring& a, const std::wstring& b)
{
    std::wistringstream left(a), right(b);
    for (;;) {
        unsigned long x = 0, y = 0;
        wchar_t dot = 0;
        const bool hasX = static_cast<bool>(left >> x), hasY = static_cast<bool>(right >> y);
        if (!hasX && !hasY)
            return false;
        if (x != y)
            return x < y;
        left >> dot;
        right >> dot;
    }
}

std::wstring FindAddInFolder(const std::wstring& hostOption)
{
    std::wstring host, addIn;
    if (hostOption.empty()) {
        LookUpAddInFolder(host, addIn);
        return addIn;
    }
    // A folder given on the command line must be there: a typing error must not create one.
    host = FullPathOf(hostOption);
    return IsAbsoluteFolderPath(host) && IsFolder(host) ? AddInFolderFor(host) : std::wstring();
}

int ListCommand(Output& out, const std::wstring& addIn, const std::wstring& module, const std::wstring& minVersion)
{
    if (addIn.empty())
        return NoHost(out);
    Host host;
    LoadHost(addIn, host);
    nlohmann::json& modules = out.Document()["modules"] = nlohmann::json::array();
    int found = -1;
    for (int i = 0; i < host.table.GetCount(); ++i) {
        const ModuleRow& row = host.table.GetRow(i);
        const std::wstring version = host.table.GetShown(i).version;
        const bool present = PathExists(addIn + L"\\" + row.dllFileName);
        out.Line(row.moduleName + L"\t" + row.menuName + L"\t" + version + L"\t" + row.dllFileName +
                 (present ? L"" : std::wstring(L"\t") + kCliDllMissing));
        modules.push_back({{"module", Json(row.moduleName)}, {"menuName", Json(row.menuName)}, {"version", Json(version)},
                           {"dll", Json(row.dllFileName)}, {"present", present}});
        if (found == -1 && !module.empty() && RowNamesModule(row, module))
            found = i;
    }
    if (module.empty())
        return kExitDone;
    if (found == -1) {
        out.Line(module + L": " + kCliNotInstalled);
        return kExitNotInstalled;
    }
    const ModuleRow& row = host.table.GetRow(found);
    if (!PathExists(addIn + L"\\" + row.dllFileName)) {
        out.Line(module + L": " + kCliDllMissing);
        return kExitNotInstalled;
    }
    if (!minVersion.empty() && VersionLower(host.table.GetShown(found).version, minVersion)) {
        out.Line(module + L": " + kCliOlderVersion);
        return kExitNotInstalled;
    }
    return kExitDone;
}

int CheckCommand(Output& out, const std::wstring& addIn, const std::vector<std::wstring>& dlls)
{
    bool missing = false;
    const std::vector<std::wstring> paths = FullPaths(out, dlls, missing);
    Host host;
    LoadHost(addIn, host, false);
    nlohmann::json& files = out.Document()["files"] = nlohmann::json::array();
    for (const std::wstring& path : paths) {
        const CiStFileInformation info(path);
        const VersionStrings& s = info.GetStrings();
        const std::wstring moduleName = kModulePrefix + s.InternalName;
        out.Line(path);
        out.Line(L"  " + std::wstring(kCheckMachine) + L": " + Machine(path));
        nlohmann::json strings = nlohmann::json::object();
        const std::pair<const wchar_t*, const std::wstring*> keys[] = {
            {L"CompanyName", &s.CompanyName},       {L"FileDescription", &s.FileDescription}, {L"FileVersion", &s.FileVersion},
            {L"InternalName", &s.InternalName},     {L"LegalCopyright", &s.LegalCopyright},
            {L"OriginalFilename", &s.OriginalFilename}, {L"ProductName", &s.ProductName},   {L"ProductVersion", &s.ProductVersion}};
        for (const auto& [key, value] : keys) {
            out.Line(L"  " + std::wstring(key) + L": " + *value);
            strings[Json(key)] = Json(*value);
        }
        out.Line(L"  " + std::wstring(kCheckModuleName) + L": " + moduleName);
        out.Line(L"  " + std::wstring(kCheckMatchKey) + L": " + MatchKey(moduleName));
        files.push_back({{"file", Json(path)}, {"machine", Json(Machine(path))}, {"versionStrings", strings},
                         {"moduleName", Json(moduleName)}, {"matchKey", Json(MatchKey(moduleName))}});
    }
    const std::vector<std::wstring> refused = IntakeSelectedFiles(host.table, paths);
    for (const std::wstring& name : refused)
        out.Line(name + L": " + kWarn32Bit);
    const ApplyPlan plan = PlanOnHost(host, addIn);
    ReportPlan(out, host, plan, out.Document()["modules"] = nlohmann::json::array());
    if (missing)
        return kExitUsage;
    return refused.empty() && !AnyUnstorable(host, plan) ? kExitDone : kExitRefused;
}

int InstallCommand(Output& out, const std::wstring& addIn, const std::vector<std::wstring>& dlls,
                   const std::optional<std::wstring>& menuName, bool dryRun)
{
    if (addIn.empty())
        return NoHost(out);
    bool missing = false;
    const std::vector<std::wstring> paths = FullPaths(out, dlls, missing);
    if (missing)
        return kExitUsage;
    Host host;
    LoadHost(addIn, host);
    const int first = host.table.GetCount();

    const ModuleTable before = host.table;
    const std::vector<std::wstring> refused = IntakeSelectedFiles(host.table, paths);
    if (!refused.empty())
        out.Error(Refused32BitMessage(refused));
    // Run again by a deployment system: a module installed at this version stays as it is.
    for (int r = 0; r < first; ++r) {
        const ModuleRow& row = host.table.GetRow(r);
        const std::wstring& version = host.table.GetShown(r).version;
        if (row.status == RowStatus::Replaced && !version.empty() && version == before.GetShown(r).version &&
            PathExists(addIn + L"\\" + row.dllFileName) && (!menuName || *menuName == row.menuName)) {
            host.table.RestoreRow(r, before);
            out.Line(row.moduleName + L": " + kCliAlreadyInstalled);
        }
    }
    bool pending = false;
    for (int i = 0; i < host.table.GetCount(); ++i) {
        if (host.table.GetRow(i).status == RowStatus::Loaded)
            continue;
        pending = true;
        if (menuName)
            host.table.SetMenuName(i, *menuName);
    }
    if (dryRun) {
        ReportPlan(out, host, PlanOnHost(host, addIn), out.Document()["modules"] = nlohmann::json::array());
        out.Line(kCliDryRun);
        return refused.empty() ? kExitDone : kExitRefused;
    }
    if (!pending) {
        out.Line(kCliNothingToApply);
        return refused.empty() ? kExitDone : kExitRefused;
    }
    const ApplyOutcome outcome = ApplyPendingModules(host.table, host.catalogue, addIn);
    for (const std::wstring& message : ApplyMessages(outcome))
        out.Error(message);
    nlohmann::json& written = out.Document()["written"] = nlohmann::json::array();
    for (const std::wstring& path : outcome.written) {
        out.Wrote(L"install", path);
        written.push_back(Json(path));
    }
    const int code = ExitForApply(outcome, !refused.empty());
    if (code == kExitDone)
        out.Line(kCliInstalled);
    return code;
}

int UninstallCommand(Output& out, const std::wstring& addIn, const std::vector<std::wstring>& modules)
{
    if (addIn.empty())
        return NoHost(out);
    const UninstallOutcome outcome = UninstallModules(addIn, modules);
    for (const std::wstring& name : outcome.notInstalled)
        out.Line(name + L": " + kCliNotInstalled);
    if (outcome.result != ApplyResult::Applied) {
        out.Error(MenuNotWritableMessage(outcome.result, outcome.menuFailure));
        return ExitForMenu(outcome.result, outcome.menuFailure);
    }
    nlohmann::json& removed = out.Document()["removed"] = nlohmann::json::array();
    for (const std::wstring& dll : outcome.removed) {
        out.Line(dll + L": " + kCliRemoved);
        removed.push_back(Json(dll));
    }
    for (size_t i = 0; i < outcome.written.size(); ++i)
        out.Wrote(L"uninstall", outcome.written[i], i + 1 < outcome.written.size() ? L"removed" : L"wrote");
    return kExitDone;
}

int UndoCommand(Output& out, const std::wstring& addIn)
{
    if (addIn.empty())
        return NoHost(out);
    if (ClassifyMenuError(CheckWritable(MenuFilePath(addIn))) == MenuFailure::Held) {
        out.Error(MenuNotWritableMessage(ApplyResult::MenuFileNotWritable, MenuFailure::Held));
        return kExitHeld;
    }
    const bool undone = UndoLastChange(addIn);
    out.Line(undone ? kCliUndone : kCliNothingToUndo);
    out.Document()["undone"] = undone;
    if (undone)
        out.Wrote(L"undo", addIn, L"restored");
    return kExitDone;
}
