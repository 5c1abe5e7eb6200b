#pragma once
// Makes an Apply all or nothing, even when the process is killed or the power fails.
// Before the first change a journal in the add-in folder records every target and keeps
// the menu file's old bytes; each target's old file is set aside into the journal before
// the new one takes its place; the menu file is replaced last, and only then is the
// journal marked done. Everything reaches the disk in that order (new files flushed
// before their renames, renames written through), so after any stop the folder holds
// either a done journal and the whole new set, or a journal that puts back the old set.
//
//   <add-in folder>\~tq2zul-journal\000042\plan.txt    "menu 0|1", then "target 0|1 <name>"
//                                          \zulmenu.old  the menu file as it was
//                                          \3.old        target 3 as it was
//                                          \done         written last
// The host loads only what the menu file lists, never from this folder.
#include <string>
#include <vector>

inline constexpr wchar_t kJournalFolder[] = L"~tq2zul-journal";
// Finished journals kept (for undo), the newest; older ones are removed.
inline constexpr int kJournalsKept = 5;

class ApplyJournal {
public:
    // Starts a journal for the given target names (plain names in addInFolder) and the
    // menu file's current bytes (menuExisted false: there was none). False when it
    // cannot be written; then nothing has changed.
    bool Begin(const std::wstring& addInFolder, const std::vector<std::wstring>& targets, bool menuExisted,
               const std::string& oldMenu);

    // Puts source in the place of target number index, setting its old file aside first.
    // Returns 0 or the Windows error code; on failure the target is as it was.
    unsigned long Replace(size_t index, const std::wstring& source);

    // Sets the file of target number index aside, so the change removes it. Returns 0
    // (also when there is no such file) or the Windows error code.
    unsigned long Remove(size_t index);

    // Marks the change done, then keeps only the newest kJournalsKept journals.
    void Finish();
    // Puts every target and the menu file back as they were and removes the journal.
    void RollBack();

private:
    std::wstring addIn_;
    std::wstring folder_;
    std::vector<std::wstring> targets_;
};

// Rolls back every journal in addInFolder that was not marked done (a run that was
// killed or lost power). Returns how many there were; -1 when the menu file is held by
// a run in progress, and nothing was done.
int RecoverUnfinishedApply(const std::wstring& addInFolder);

// Puts the add-in folder and the menu file back as they were before the last finished
// change, and forgets that change, so a second undo goes one further back. False when
// there is none (or a run in progress holds the menu file). A stop midway leaves the
// journal unfinished, and the next start completes the undo.
bool UndoLastChange(const std::wstring& addInFolder);
