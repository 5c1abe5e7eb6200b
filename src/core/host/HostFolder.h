#pragma once
// Where the host is installed and where its add-in modules live. Reads the registry;
// writes nothing.
#include <string>

inline constexpr wchar_t kHostRegistryKey[] = L"SOFTWARE\\NORVALE SYSTEMS INC.\\TOLVAN-QUORAL2\\Env";
inline constexpr wchar_t kHostRegistryValue[] = L"TOLVAN_PLUS";
inline constexpr wchar_t kAddInFolderSuffix[] = L"\\zul_ap";

// Reads a string value under HKEY_LOCAL_MACHINE ("/" in keyPath taken as "\").
// Returns 0 and replaces result when the value was read, else -1 with result untouched.
int ReadHostRegistryValue(std::wstring keyPath, std::wstring valueName, std::wstring& result);

// Whether path can be a host's folder: absolute, with a drive ("C:\", "C:/") or on a
// share ("\\server\share", "\\?\C:\"). A relative path or one of backslashes only
// would put the add-in folder wherever the process happens to be.
bool IsAbsoluteFolderPath(const std::wstring& path);

// Fills the host installation path (trailing backslashes removed) and the add-in
// folder from the host's registry value. When the value cannot be read both stay as
// they were; when it is empty or no absolute path, the host path becomes empty and
// the add-in folder stays as it was.
void LookUpAddInFolder(std::wstring& hostPath, std::wstring& addInFolder);

// Derives the add-in folder from a host installation path, trimming the latter's
// trailing backslashes in place; empty for an empty path.
std::wstring AddInFolderFor(std::wstring& hostPath);
