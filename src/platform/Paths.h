#pragma once
// Path text and the few questions about the file system that every part of the program
// asks. Paths of any length are taken; "/" is read as "\" where noted.
#include <string>
#include <vector>

// The folder part of path. A root keeps its backslash ("C:\apFoo.dll" gives "C:\",
// "\\?\C:\x" gives "\\?\C:\"); "C:apFoo.dll" gives "C:"; a bare name gives "".
std::wstring FolderOf(const std::wstring& path);

// The last component of path ("\" or "/" separated).
std::wstring FileNameOf(const std::wstring& path);

// The absolute form of path, "." and ".." resolved; empty when it cannot be made.
std::wstring FullPathOf(const std::wstring& path);

// path without the backslashes at its end.
std::wstring WithoutTrailingBackslashes(std::wstring path);

// Whether anything (a folder or a file) exists at path, with "/" read as "\" and
// trailing backslashes ignored.
bool PathExists(const std::wstring& path);

// Whether path names an existing folder.
bool IsFolder(const std::wstring& path);

// Creates the folders along path one level after the other. A level whose name holds a
// "." is taken for a file name and neither created nor descended into.
void CreateFolderChain(std::wstring path);

// The names of the files directly in folder, sub-folders left out, in the order the
// system returns them; empty when the folder cannot be searched.
std::vector<std::wstring> ListFolderFiles(const std::wstring& folder);

// The names of the folders directly in folder, in the order the system returns them.
std::vector<std::wstring> ListSubfolders(const std::wstring& folder);

// Deletes path (read-only or not); true when it is gone.
bool DeleteFileAt(const std::wstring& path);

// Deletes folder with the files directly in it; true when it is gone.
bool RemoveFolderWithFiles(const std::wstring& folder);

// The folder of the running executable.
std::wstring GetProgramFolder();
