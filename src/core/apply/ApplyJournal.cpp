#include "core/apply/ApplyJournal.h"

#include <windows.h>

#include <algorithm>
#include <sstream>

#include "core/menu/MenuFormat.h"
#include "platform/FileBytes.h"
#include "platform/FileCopy.h"
#include "platform/FileReplace.h"
#include "platform/LongPath.h"
#include "platform/Paths.h"
#include "platform/TempFile.h"

namespace {

constexpr wchar_t kPlan[] = L"plan.txt";
constexpr wchar_t kOldMenu[] = L"zulmenu.old";
constexpr wchar_t kDone[] = L"done";

std::wstring Root(const std::wstring& addIn)
{
    return addIn + L"\\" + kJournalFolder;
}

std::wstring SetAside(const std::wstring& folder, size_t index)
{
    return folder + L"\\" + std::to_wstring(index) + L".old";
}

// Journals oldest first: their names are zero-padded sequence numbers.
std::vector<std::wstring> Journals(const std::wstring& addIn)
{
    std::vector<std::wstring> names = ListSubfolders(Root(addIn));
    std::sort(names.begin(), names.end());
    return names;
}

bool IsDone(const std::wstring& folder)
{
    return PathExists(folder + L"\\" + kDone);
}

// A journal without its plan is nothing to undo: the plan goes first, so a removal cut
// short never leaves a finished change looking unfinished.
void RemoveJournal(const std::wstring& folder)
{
    DeleteFileAt(folder + L"\\" + kPlan);
    RemoveFolderWithFiles(folder);
}

// Puts the menu file back to bytes, or removes it when there was none.
void RestoreMenu(const std::wstring& addIn, bool existed, const std::string& bytes)
{
    const std::wstring menu = MenuFilePath(addIn);
    if (!existed) {
        DeleteFileAt(menu);
        return;
    }
    const std::wstring temp = WriteTempBeside(menu, {bytes});
    if (!temp.empty())
        SwapInTemp(temp, menu, PathExists(menu));
}

// Undoes what the journal in folder records, newest change first, then removes it.
void RollBackFolder(const std::wstring& addIn, const std::wstring& folder)
{
    const std::optional<std::string> plan = ReadWholeFile(folder + L"\\" + kPlan);
    if (plan) {
        std::istringstream lines(*plan);
        std::string kind;
        int existed = 0;
        bool menuExisted = true;
        std::vector<std::pair<std::wstring, bool>> targets;
        while (lines >> kind >> existed) {
            std::string name;
            std::getline(lines, name);
            if (kind == "menu")
                menuExisted = existed != 0;
            else if (kind == "target" && name.size() > 1)
                targets.emplace_back(FromUtf8(name.substr(1)), existed != 0);
        }
        for (size_t i = targets.size(); i-- > 0;) {
            const std::wstring target = addIn + L"\\" + targets[i].first, old = SetAside(folder, i);
            if (PathExists(old))
                MoveThrough(old, target, true);
            else if (!targets[i].second)
                DeleteFileAt(target);
        }
        const std::optional<std::string> menu = ReadWholeFile(folder + L"\\" + kOldMenu);
        if (menu || !menuExisted)
            RestoreMenu(addIn, menuExisted, menu.value_or(std::string()));
    }
    RemoveJournal(folder);
}

}  // namespace

bool ApplyJournal::Begin(const std::wstring& addInFolder, const std::vector<std::wstring>& targets, bool menuExisted,
                         const std::string& oldMenu)
{
    addIn_ = addInFolder;
    targets_ = targets;
    const std::vector<std::wstring> journals = Journals(addIn_);
    const long next = journals.empty() ? 1 : std::wcstol(journals.back().c_str(), nullptr, 10) + 1;
    wchar_t name[16];
    swprintf(name, std::size(name), L"%06ld", next);
    folder_ = Root(addIn_) + L"\\" + name;
    CreateDirectoryW(Root(addIn_).c_str(), nullptr);
    SetFileAttributesW(Root(addIn_).c_str(), FILE_ATTRIBUTE_HIDDEN);
    if (!CreateDirectoryW(folder_.c_str(), nullptr))
        return false;

    std::string plan = "menu " + std::string(menuExisted ? "1" : "0") + "\n";
    for (const std::wstring& target : targets_)
        plan += "target " + std::string(PathExists(addIn_ + L"\\" + target) ? "1 " : "0 ") + ToUtf8(target) + "\n";
    // The old menu first: a plan without it would roll back to no menu file at all.
    if ((menuExisted && !WriteNewFileThrough(folder_ + L"\\" + kOldMenu, oldMenu)) ||
        !WriteNewFileThrough(folder_ + L"\\" + kPlan, plan)) {
        RemoveFolderWithFiles(folder_);
        return false;
    }
    return true;
}

unsigned long ApplyJournal::Replace(size_t index, const std::wstring& source)
{
    const std::wstring target = addIn_ + L"\\" + targets_.at(index);
    // Renaming a DLL the running host has loaded would succeed on Windows; the host
    // would keep the old one. Tell it as a target in use instead.
    if (IsReadOnlyFile(target))
        return ERROR_FILE_READ_ONLY;
    if (unsigned long held = CheckWritable(target); held != ERROR_SUCCESS)
        return held;
    std::wstring temp;
    unsigned long error = CopyToTempBeside(source, target, temp);
    if (error != ERROR_SUCCESS)
        return error;
    const std::wstring old = SetAside(folder_, index);
    const bool existed = PathExists(target);
    if (existed && (error = MoveThrough(target, old, false)) == ERROR_SUCCESS &&
        (error = MoveThrough(temp, target, true)) != ERROR_SUCCESS)
        MoveThrough(old, target, true);
    else if (!existed)
        error = MoveThrough(temp, target, false);
    if (error != ERROR_SUCCESS)
        DeleteFileAt(temp);
    return error;
}

unsigned long ApplyJournal::Remove(size_t index)
{
    const std::wstring target = addIn_ + L"\\" + targets_.at(index);
    if (!PathExists(target))
        return ERROR_SUCCESS;
    if (IsReadOnlyFile(target))
        return ERROR_FILE_READ_ONLY;
    if (unsigned long held = CheckWritable(target); held != ERROR_SUCCESS)
        return held;
    return MoveThrough(target, SetAside(folder_, index), false);
}

void ApplyJournal::Finish()
{
    WriteNewFileThrough(folder_ + L"\\" + kDone, "");
    std::vector<std::wstring> done;
    for (const std::wstring& name : Journals(addIn_))
        if (IsDone(Root(addIn_) + L"\\" + name))
            done.push_back(name);
    for (size_t i = 0; i + kJournalsKept < done.size(); ++i)
        RemoveJournal(Root(addIn_) + L"\\" + done[i]);
}

void ApplyJournal::RollBack()
{
    RollBackFolder(addIn_, folder_);
}

int RecoverUnfinishedApply(const std::wstring& addInFolder)
{
    if (addInFolder.empty())
        return 0;
    // A menu file held without sharing: another run is applying right now.
    const std::wstring menu = MenuFilePath(addInFolder);
    HANDLE probe = CreateFileW(LongPathForm(menu).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (probe == INVALID_HANDLE_VALUE && GetLastError() == ERROR_SHARING_VIOLATION)
        return -1;
    if (probe != INVALID_HANDLE_VALUE)
        CloseHandle(probe);
    // Temporary copies of a run cut short are no one's.
    RemoveToolTempFiles(addInFolder);
    int recovered = 0;
    const std::vector<std::wstring> journals = Journals(addInFolder);
    for (auto name = journals.rbegin(); name != journals.rend(); ++name) {
        const std::wstring folder = Root(addInFolder) + L"\\" + *name;
        if (!IsDone(folder)) {
            RollBackFolder(addInFolder, folder);
            ++recovered;
        }
    }
    return recovered;
}

bool UndoLastChange(const std::wstring& addInFolder)
{
    if (RecoverUnfinishedApply(addInFolder) < 0)
        return false;
    const std::vector<std::wstring> journals = Journals(addInFolder);
    if (journals.empty())
        return false;
    // Unfinished from here on: if this stops midway, the next start completes it.
    const std::wstring folder = Root(addInFolder) + L"\\" + journals.back();
    if (!DeleteFileAt(folder + L"\\" + kDone))
        return false;
    RollBackFolder(addInFolder, folder);
    return true;
}
