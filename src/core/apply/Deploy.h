#pragma once
// Deploying a module's files into the add-in folder: which files of a module's source
// folder belong to it, and the names they get in the add-in folder.
#include <string>
#include <vector>

#include "core/table/Array.h"

// The text that selects a module's files: moduleName without its leading "a"/"p"
// characters and its trailing "."/"d"/"l" characters (case-sensitive character sets).
std::wstring MatchKey(const std::wstring& moduleName);

// Appends, for every file of listing (the names of the files directly in sourceFolder)
// whose name contains the match key of moduleName (case-sensitive), its full path to
// paths and its name to names. An empty key selects nothing: it would take the folder.
void FindModuleFiles(const std::wstring& sourceFolder, const std::vector<std::wstring>& listing,
                     const std::wstring& moduleName, CStringArray& paths, CStringArray& names);

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

// Whether name is one of the pictures of the module dllName: "ap" + its stem + three
// characters + ".png", as TargetName names them.
bool IsPictureOf(const std::wstring& name, const std::wstring& dllName);
