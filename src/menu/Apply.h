#pragma once
// Apply: deploys every added ("추가") and replaced ("교체") module of the module table
// into the add-in folder and appends a menu entry for every added module that obtains a
// catalogue name. Every check that can refuse the run (host found, menu entries
// encodable, menu file held for the rewrite) comes before the first file is copied.
// The caller shows ApplyMessages and, when the menu file was rewritten, reloads it.
#include <string>
#include <vector>

class ModuleTable;
struct ModuleCatalogue;

inline constexpr wchar_t kMenuFileNotWritableMessage[] = L"zulMenu.txt 파일을 수정할수 없습니다.";

// Error code reported for a target whose name would leave the add-in folder.
inline constexpr unsigned long kErrorTargetOutsideFolder = 123;  // ERROR_INVALID_NAME

enum class ApplyResult {
    Applied,              // files copied (see problems) and the menu file rewritten
    NoHost,               // no add-in folder known: nothing touched
    MenuFileNotWritable,  // the menu file could not be held or replaced
    UnencodableText,      // a new entry holds a character code page 949 lacks: nothing touched
};

struct FailedCopy {
    std::wstring targetName;
    unsigned long error = 0;
};

// What went wrong for one module; its other files may still have been deployed.
struct ModuleProblem {
    std::wstring module;  // as the list names it
    bool noFreeName = false;
    bool noFileFound = false;
    std::vector<FailedCopy> failedCopies;
};

struct UnencodableEntry {
    std::wstring module;
    char32_t character = 0;
};

struct ApplyOutcome {
    ApplyResult result = ApplyResult::Applied;
    std::vector<ModuleProblem> problems;
    std::vector<UnencodableEntry> unencodable;
    int filesCopied = 0;
    int entriesAppended = 0;

    bool MenuRewritten() const { return result == ApplyResult::Applied; }
};

ApplyOutcome ApplyPendingModules(const ModuleTable& table, ModuleCatalogue& catalogue, const std::wstring& addInFolder);

// The texts to show, each in its own MB_OK box, in this order; none after a clean run.
std::vector<std::wstring> ApplyMessages(const ApplyOutcome& outcome);
