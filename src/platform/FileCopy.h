#pragma once
// Copying a file into place so that the target is, at every moment, either the file it
// was or the whole new one: a running host, or a tool killed mid-copy, never finds
// half a DLL. Copies reach the disk before they take a target's place.
#include <string>

// Copies source to a new temporary file beside target and flushes it to the disk.
// Returns 0 and sets temp, or the Windows error code with nothing left behind.
unsigned long CopyToTempBeside(const std::wstring& source, const std::wstring& target, std::wstring& temp);

// Renames from to to, replacing an existing file only when replace, with the rename
// written through to the disk. Returns 0 or the Windows error code.
unsigned long MoveThrough(const std::wstring& from, const std::wstring& to, bool replace);

// Whether path is an existing read-only file (which Windows would not let a copy replace).
bool IsReadOnlyFile(const std::wstring& path);

// Copies source over target by a temporary file and one rename. Returns 0, else the
// Windows error code (ERROR_FILE_READ_ONLY for a read-only target); on failure target
// is unchanged and no temporary file is left. Both paths must be full paths.
unsigned long CopyFileWhole(const std::wstring& source, const std::wstring& target);
