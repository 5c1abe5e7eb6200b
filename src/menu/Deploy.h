#pragma once
// Deploying a module's files into the add-in folder: the folder itself, which files of
// a module's source folder belong to it, and the names they get in the add-in folder.
#include <string>
#include <vector>

#include "framework/Array.h"

// Whether anything (a folder, or equally a file) exists at path, with "/" read as "\"
// and trailing backslashes ignored.
bool FolderExists(const std::wstring& path);

// Creates the folders along path one level after the other. A level whose name holds a
// "." is taken for a file name and neither created nor descended into.
void CreateFolderChain(std::wstring path);

// The text that selects a module's files: moduleName without its leading "a"/"p"
// characters and its trailing "."/"d"/"l" characters (case-sensitive character sets).
std::wstring MatchKey(const std::wstring& moduleName);

// Appends, for every file directly in sourceFolder whose name contains the match key of
// moduleName (case-sensitive), its full path to paths and its name to names. An empty
// key selects nothing: it would take every file of the folder.
void FindModuleFiles(std::wstring sourceFolder, std::wstring moduleName, CStringArray& paths, CStringArray& names);

// The names of the files directly in folder, sub-folders left out, in the order the
// platform returns them; empty when the folder cannot be searched.
std::vector<std::wstring> ListFolderFiles(const std::wstring& folder);

// FindModuleFiles on a listing of sourceFolder made earlier, so that several modules
// from one folder cost one search.
void MatchModuleFiles(const std::wstring& sourceFolder, const std::vector<std::wstring>& listing,
                      const std::wstring& moduleName, CStringArray& paths, CStringArray& names);

// The folder part of a module file's path; a file directly below a root keeps the
// root's backslash ("C:\apFoo.dll" gives "C:\"). Any length.
std::wstring SourceFolderOf(const std::wstring& sourcePath);

// The last component of a path.
std::wstring FileNameOf(const std::wstring& path);

// The name under which a found file is deployed when namingBase ("ap" + stem + ".dll")
// decides it: a DLL becomes "ap" + stem + "." + its extension, a PNG keeps the three
// characters before its extension ("apFoo_16.png" under "apBar.dll" is "apBar_16.png"),
// any other file keeps its name.
std::wstring TargetName(const std::wstring& fileName, const std::wstring& namingBase);

// Whether a naming base may name files: its stem must not hold a path separator, a
// drive colon or "..", which a name read from the menu file could.
bool IsUsableNamingBase(const std::wstring& namingBase);

// Whether name is a plain file name that stays in the folder it is joined to.
bool IsPlainFileName(const std::wstring& name);
