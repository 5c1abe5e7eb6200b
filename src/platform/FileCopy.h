#pragma once
// Copying a file into place so that the target is, at every moment, either the file it
// was or the whole new one: a running host, or a tool killed mid-copy, never leaves
// half a DLL behind. Like a plain copy it does not force the data to the disk.
#include <string>

// Copies source to a temporary file beside target and moves it over target in one step.
// Returns 0 on success, else the Windows error code
// (ERROR_FILE_READ_ONLY for a read-only target); on failure target is unchanged and
// no temporary file is left. Both paths must be full paths.
unsigned long CopyFileWhole(const std::wstring& source, const std::wstring& target);
