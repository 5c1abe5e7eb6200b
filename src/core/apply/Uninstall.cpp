#include "core/apply/Uninstall.h"

#include <windows.h>

#include <algorithm>
#include <map>
#include <optional>

#include "core/apply/ApplyJournal.h"
#include "core/apply/Deploy.h"
#include "core/menu/CiStTextFile.h"
#include "core/menu/MenuFormat.h"
#include "core/menu/MenuLoader.h"
#include "core/table/CiStCStringArray.h"
#include "core/table/ModuleCatalogue.h"
#include "platform/Paths.h"

UninstallOutcome UninstallModules(const std::wstring& addInFolder, const std::vector<std::wstring>& names)
{
    UninstallOutcome outcome;
    if (addInFolder.empty()) {
        outcome.result = ApplyResult::NoHost;
        return outcome;
    }
    RecoverUnfinishedApply(addInFolder);
    ModuleTable installed;
    ModuleCatalogue catalogue;
    catalogue.FillCatalogue();
    LoadMenuFile(addInFolder, installed, catalogue);
    std::vector<std::wstring> dlls;
    for (const std::wstring& name : names) {
        bool found = false;
        for (int i = 0; i < installed.GetCount(); ++i) {
            const ModuleRow& row = installed.GetRow(i);
            if (!RowNamesModule(row, name))
                continue;
            found = true;
            if (std::none_of(dlls.begin(), dlls.end(), [&](const std::wstring& dll) { return EqualsNoCase(dll, row.dllFileName); }))
                dlls.push_back(row.dllFileName);
        }
        if (!found)
            outcome.notInstalled.push_back(name);
    }
    if (dlls.empty())
        return outcome;

    CiStTextFile menu;
    if (!menu.ReadLinesForRewrite(MenuFilePath(addInFolder)) || menu.IsAbsent()) {
        outcome.result = ApplyResult::MenuFileNotWritable;
        outcome.menuFailure = ClassifyMenuError(menu.GetOpenError());
        return outcome;
    }
    std::map<int, std::optional<std::string>> removedLines;
    CStringArray fields;
    const CStringArray& lines = menu.GetLines();
    for (int i = 0; i < lines.GetSize(); ++i)
        for (const std::wstring& dll : dlls)
            if (SplitMenuEntry(lines[i], fields) && EqualsNoCase(EntryDllName(fields), dll))
                removedLines[i] = std::nullopt;
    std::vector<std::wstring> files;
    for (const std::wstring& name : ListFolderFiles(addInFolder))
        for (const std::wstring& dll : dlls)
            if (EqualsNoCase(name, dll) || IsPictureOf(name, dll))
                files.push_back(name);

    ApplyJournal journal;
    if (!journal.Begin(addInFolder, files, true, menu.GetRawContent())) {
        outcome.result = ApplyResult::MenuFileNotWritable;
        outcome.menuFailure = MenuFailure::NoPermission;
        return outcome;
    }
    for (size_t i = 0; i < files.size(); ++i) {
        if (const unsigned long error = journal.Remove(i); error != ERROR_SUCCESS)
            outcome.failed.push_back({files[i], ClassifyCopyError(error), error});
        else
            outcome.written.push_back(addInFolder + L"\\" + files[i]);
    }
    // A module half removed would stay listed without its DLL: then nothing is removed.
    if (!outcome.failed.empty() || !menu.WriteRewrite({}, removedLines).ok) {
        journal.RollBack();
        outcome.written.clear();
        outcome.result = ApplyResult::MenuFileNotWritable;
        const bool held = outcome.failed.empty() || outcome.failed[0].reason == CopyFailure::InUse ||
                          outcome.failed[0].reason == CopyFailure::AccessDenied;
        outcome.menuFailure = held ? MenuFailure::Held : MenuFailure::Other;
        return outcome;
    }
    journal.Finish();
    outcome.removed = dlls;
    outcome.written.push_back(MenuFilePath(addInFolder));
    return outcome;
}
