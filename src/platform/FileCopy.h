#pragma once
// Copying a file into place in two steps, so that no one ever finds half of it: the copy
// goes to a temporary file beside the target and reaches the disk, then a rename puts
// it in the target's place.
#include <string>

// Copies source to a new temporary file beside target and flushes it to the disk.
// Returns 0 and sets temp, or the Windows error code with nothing left behind.
unsigned long CopyToTempBeside(const std::wstring& source, const std::wstring& target, std::wstring& temp);

// Renames from to to, replacing an existing file only when replace, with the rename
// written through to the disk. Returns 0 or the Windows error code.
unsigned long MoveThrough(const std::wstring& from, const std::wstring& to, bool replace);

// Whether path is an existing read-only file (which Windows would not let a copy replace).
bool IsReadOnlyFile(const std::wstring& path);
