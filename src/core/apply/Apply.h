#pragma once
// Apply: deploys every added and replaced module of the module table into the add-in
// folder, appends a menu entry for every added module that obtains a catalogue name and
// writes edited menu names into their modules' lines. Every check that can refuse the
// run (host found, menu texts encodable, menu file held for the rewrite) comes before
// the first file is copied, and the run is journaled: when the menu file cannot be
// replaced at the end, every file is put back. The caller tells the outcome and, when
// the menu file was rewritten, reloads it.
#include <string>
#include <vector>

#include "core/apply/ApplyPlan.h"

class ModuleTable;
class ModuleCatalogue;

// Why the menu file could not be held or replaced.
enum class MenuFailure {
    None,
    Held,          // another program holds it: the host is running
    NoPermission,  // read-only, or the user may not write there
    Other,
};

// MenuFailure for a Windows error code of opening the menu file.
MenuFailure ClassifyMenuError(unsigned long systemError);

enum class ApplyResult {
    Applied,              // files copied (see problems) and the menu file rewritten
    NoHost,               // no add-in folder known: nothing touched
    MenuFileNotWritable,  // the menu file could not be held or replaced
    UnencodableText,      // a new entry holds a character code page 949 lacks: nothing touched
};

// Why one file was not deployed.
enum class CopyFailure {
    SourceMissing,   // the source file has gone
    AccessDenied,    // in use by a running host, or no permission
    InUse,           // held by another program
    DiskFull,
    ReadOnly,        // the target exists and is read-only
    NameNotAllowed,  // the target would leave the add-in folder
    Other,           // see FailedCopy::systemError
};

struct FailedCopy {
    std::wstring targetName;
    CopyFailure reason = CopyFailure::Other;
    unsigned long systemError = 0;
};

// What went wrong for one module; its other files may still have been deployed.
struct ModuleProblem {
    std::wstring module;  // as the list names it
    bool noFreeName = false;
    std::vector<FailedCopy> failedCopies;
};

// A file of a module's folder that was not copied, so as not to overwrite another's.
struct SkippedFile {
    std::wstring module;
    SkippedCopy copy;
};

struct UnencodableEntry {
    std::wstring module;
    char32_t character = 0;
};

struct ApplyOutcome {
    ApplyResult result = ApplyResult::Applied;
    std::vector<ModuleProblem> problems;
    MenuFailure menuFailure = MenuFailure::None;
    std::vector<SkippedFile> skipped;
    std::vector<UnencodableEntry> unencodable;
    std::vector<std::wstring> written;  // full paths of the files written, the menu file last
    int filesCopied = 0;
    int entriesAppended = 0;
    int namesChanged = 0;

    bool MenuRewritten() const { return result == ApplyResult::Applied; }
};

ApplyOutcome ApplyPendingModules(const ModuleTable& table, ModuleCatalogue& catalogue, const std::wstring& addInFolder);

// The reason for a system error code of a failed copy.
CopyFailure ClassifyCopyError(unsigned long systemError);
