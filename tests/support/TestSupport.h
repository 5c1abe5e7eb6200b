#pragma once
// Helpers shared by the test executables: a fresh folder per test, the fixture
// modules built next to the tests, file bytes, the host's registry value, waiting.
#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

// A new empty folder under the system temp folder, removed with all it holds.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::wstring& Path() const { return path_; }
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

// Full path of a fixture module built into the tests' fixtures folder.
std::wstring FixturePath(const std::wstring& name);
std::wstring TestBinFolder();

std::string ReadFileBytes(const std::wstring& path);
void WriteFileBytes(const std::wstring& path, const std::string& bytes);
void RemoveTree(const std::wstring& path);
// Every file below folder (relative name -> bytes), for whole-folder comparisons.
std::vector<std::pair<std::wstring, std::string>> Snapshot(const std::wstring& folder);

// Calls condition until it holds or the timeout passes, pumping this thread's messages
// in between. Returns whether it held.
bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout = std::chrono::seconds(20));

// Sets (REG_SZ) or removes the host's installation value in HKEY_LOCAL_MACHINE.
void SetHostRegistryValue(const std::wstring& data);
void DeleteHostRegistryKey();

// Runs a program to its end, as a deployment system would: its exit code, and what it
// wrote to standard output and error.
struct ProgramRun {
    DWORD code = 0;
    std::string output;
};
ProgramRun RunProgram(std::wstring commandLine);

// UTF-8 text for gtest messages.
std::string Utf8(const std::wstring& text);
