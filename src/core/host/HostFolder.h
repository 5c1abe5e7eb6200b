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

// Fills the host installation path (trailing backslashes removed) and the add-in
// folder; both stay as they were when the host's registry value cannot be read, and
// the add-in folder stays empty when the value is empty.
void LookUpAddInFolder(std::wstring& hostPath, std::wstring& addInFolder);

// Derives the add-in folder from a host installation path, trimming the latter's
// trailing backslashes in place; empty for an empty path.
std::wstring AddInFolderFor(std::wstring& hostPath);
