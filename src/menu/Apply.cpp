#include "menu/Apply.h"

#include <cwchar>
#include <map>

#include "app/CiStCStringArray.h"
#include "app/ModuleCatalogue.h"
#include "app/ModuleName.h"
#include "app/ModuleTable.h"
#include "menu/CiStTextFile.h"
#include "menu/CodePage949.h"
#include "menu/Deploy.h"
#include "menu/MenuFormat.h"
#include "platform/FileCopy.h"
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
    const std::wstring folder = SourceFolderOf(row.sourcePath);
    auto listing = listings.find(folder);
    if (listing == listings.end())
        listing = listings.emplace(folder, ListFolderFiles(folder)).first;
    MatchModuleFiles(folder, listing->second, row.moduleName, paths, names);
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
        const ModuleRow row = table.GetRow(i);
        const bool added = EqualsNoCase(row.status, kStatusAdded);
        if (!added && !EqualsNoCase(row.status, kStatusReplaced))
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
                const std::wstring base = taken.names.GetAt(free);
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
            const unsigned long error = copy.safe ? CopyFileWhole(copy.source, addInFolder + L"\\" + copy.targetName)
                                                  : kErrorTargetOutsideFolder;
            if (error != 0)
                problem.failedCopies.push_back({copy.targetName, error});
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

std::wstring FailureReason(unsigned long error)
{
    switch (error) {
    case 2:   // ERROR_FILE_NOT_FOUND
    case 3:   // ERROR_PATH_NOT_FOUND
        return L"원본 파일 없음";
    case 5:   // ERROR_ACCESS_DENIED: also what replacing a DLL a running host holds gives
        return L"사용 중이거나 권한 없음";
    case 32:  // ERROR_SHARING_VIOLATION
    case 33:  // ERROR_LOCK_VIOLATION
        return L"다른 프로그램이 사용 중";
    case 39:  // ERROR_HANDLE_DISK_FULL
    case 112: // ERROR_DISK_FULL
        return L"디스크 공간 부족";
    case kErrorTargetReadOnly:
        return L"읽기 전용";
    case kErrorTargetOutsideFolder:
        return L"허용되지 않는 파일 이름";
    default:
        return L"오류 " + std::to_wstring(error);
    }
}

std::wstring DescribeProblem(const ModuleProblem& problem)
{
    std::wstring text = problem.module + L": ";
    if (problem.noFreeName)
        return text + L"남은 모듈 이름이 없어 설치하지 않았습니다";
    if (problem.noFileFound)
        text += L"복사할 파일을 찾지 못했습니다";
    if (!problem.failedCopies.empty()) {
        if (problem.noFileFound)
            text += L", ";
        text += L"복사하지 못한 파일 ";
        for (size_t i = 0; i < problem.failedCopies.size(); ++i) {
            const FailedCopy& failed = problem.failedCopies[i];
            text += (i ? L", " : L"") + failed.targetName + L"(" + FailureReason(failed.error) + L")";
        }
    }
    return text;
}

std::wstring DescribeCharacter(char32_t c)
{
    wchar_t code[16];
    swprintf(code, std::size(code), L"U+%04X", static_cast<unsigned>(c));
    if (c < 0x20 || (c >= 0x7F && c < 0xA0))
        return code;
    std::wstring shown;
    if (c > 0xFFFF) {
        shown += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
        shown += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
        shown += static_cast<wchar_t>(c);
    }
    return L"'" + shown + L"' (" + code + L")";
}

std::wstring NumberedList(const std::wstring& heading, const std::vector<std::wstring>& lines)
{
    std::wstring text = heading;
    for (size_t i = 0; i < lines.size(); ++i)
        text += L"[" + std::to_wstring(i + 1) + L"]. " + lines[i] + L"\n";
    return text;
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

    if (!FolderExists(addInFolder))
        CreateFolderChain(addInFolder);
    CiStTextFile menu;
    if (!FolderExists(addInFolder) || !menu.ReadLinesForRewrite(MenuFilePath(addInFolder))) {
        outcome.result = ApplyResult::MenuFileNotWritable;
        return outcome;
    }
    // Holding the menu file, no other run of the tool is mid-copy in this folder.
    RemoveToolTempFiles(addInFolder);

    const CUIntArray flagsBefore = catalogue.presentFlags;
    const std::vector<std::wstring> entries = Deploy(plans, catalogue, addInFolder, outcome);
    const RewriteResult written = menu.WriteRewrite(entries);
    menu.Close();
    if (!written.ok) {
        // The menu file kept its old lines, so the names handed out are not in use; a
        // second Apply of the same pending rows must find them free again.
        catalogue.presentFlags = flagsBefore;
        outcome.result = ApplyResult::MenuFileNotWritable;
        return outcome;
    }
    outcome.entriesAppended = static_cast<int>(entries.size());
    return outcome;
}

std::vector<std::wstring> ApplyMessages(const ApplyOutcome& outcome)
{
    std::vector<std::wstring> messages;
    switch (outcome.result) {
    case ApplyResult::NoHost:
    case ApplyResult::MenuFileNotWritable:
        messages.push_back(kMenuFileNotWritableMessage);
        break;
    case ApplyResult::UnencodableText: {
        std::vector<std::wstring> lines;
        for (const UnencodableEntry& bad : outcome.unencodable)
            lines.push_back(bad.module + L": " + DescribeCharacter(bad.character));
        messages.push_back(
            NumberedList(L"아래 모듈의 메뉴 항목에 zulMenu.txt에 쓸수 없는 문자가 있어 적용하지 않았습니다.\n", lines));
        break;
    }
    case ApplyResult::Applied:
        break;
    }
    if (!outcome.problems.empty()) {
        std::vector<std::wstring> lines;
        for (const ModuleProblem& problem : outcome.problems)
            lines.push_back(DescribeProblem(problem));
        messages.push_back(NumberedList(L"아래 모듈은 제대로 설치되지 않았습니다.\n", lines));
    }
    return messages;
}
