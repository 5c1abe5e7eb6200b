#pragma once
// The commands of tq2zul.exe. Each writes its report to out and returns the exit code.
#include <optional>
#include <string>
#include <vector>

class Output;

// The add-in folder: of hostOption when given (made absolute; the folder must exist),
// else of the host's registry value. Empty when there is no host.
std::wstring FindAddInFolder(const std::wstring& hostOption);

int ListCommand(Output& out, const std::wstring& addIn, const std::wstring& module, const std::wstring& minVersion);
int CheckCommand(Output& out, const std::wstring& addIn, const std::vector<std::wstring>& dlls);
int InstallCommand(Output& out, const std::wstring& addIn, const std::vector<std::wstring>& dlls,
                   const std::optional<std::wstring>& menuName, bool dryRun);
int UninstallCommand(Output& out, const std::wstring& addIn, const std::vector<std::wstring>& modules);
int UndoCommand(Output& out, const std::wstring& addIn);

// Whether dotted version a is lower than b, part by part as numbers ("1.10" > "1.9").
bool VersionLower(const std::wstring& a, const std::wstring& b);
