#include "support/TestSupport.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

#include "core/host/HostFolder.h"
#include "platform/LongPath.h"
#include "platform/Paths.h"

TempDir::TempDir()
{
    static unsigned counter = 0;
    path_ = FullPathOf(std::filesystem::temp_directory_path().wstring() + L"tq2zul-" +
                       std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter));
    RemoveTree(path_);  // left by an earlier process of the same number
    if (!CreateDirectoryW(path_.c_str(), nullptr))
        throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir()
{
    RemoveTree(path_);
}

void RemoveTree(const std::wstring& path)
{
    for (const std::wstring& folder : ListSubfolders(path))
        RemoveTree(path + L"\\" + folder);
    RemoveFolderWithFiles(path);
}

std::wstring TestBinFolder()
{
    return GetProgramFolder();
}

std::wstring FixturePath(const std::wstring& name)
{
    // Beside the tests, or seen from the benchmarks' folder beside them.
    const std::wstring here = TestBinFolder() + L"\\fixtures\\" + name;
    return PathExists(here) ? here : FolderOf(TestBinFolder()) + L"\\tests\\fixtures\\" + name;
}

std::string ReadFileBytes(const std::wstring& path)
{
    std::ifstream in(std::filesystem::path(LongPathForm(path)), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes)
{
    std::ofstream out(std::filesystem::path(LongPathForm(path)), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + Utf8(path));
}

std::vector<std::pair<std::wstring, std::string>> Snapshot(const std::wstring& folder)
{
    std::vector<std::pair<std::wstring, std::string>> files;
    for (const std::wstring& name : ListFolderFiles(folder))
        files.emplace_back(name, ReadFileBytes(folder + L"\\" + name));
    std::sort(files.begin(), files.end());
    return files;
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

void SetHostRegistryValue(const std::wstring& data)
{
    HKEY key = nullptr;
    LONG rc = RegCreateKeyExW(HKEY_LOCAL_MACHINE, kHostRegistryKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
    if (rc == ERROR_SUCCESS) {
        rc = RegSetValueExW(key, kHostRegistryValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                            static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
    if (rc != ERROR_SUCCESS)
        throw std::runtime_error("cannot write the host registry value");
}

void DeleteHostRegistryKey()
{
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kHostRegistryKey);
}

ProgramRun RunProgram(std::wstring commandLine)
{
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE read = nullptr, write = nullptr;
    CreatePipe(&read, &write, &inherit, 0);
    SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW start{};
    start.cb = sizeof start;
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdOutput = start.hStdError = write;
    PROCESS_INFORMATION process{};
    const bool started =
        CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &start, &process);
    CloseHandle(write);
    ProgramRun run{99, started ? "" : "cannot start " + Utf8(commandLine)};
    char buffer[4096];
    DWORD got = 0;
    while (started && ReadFile(read, buffer, sizeof buffer, &got, nullptr) && got > 0)
        run.output.append(buffer, got);
    CloseHandle(read);
    if (started) {
        WaitForSingleObject(process.hProcess, INFINITE);
        GetExitCodeProcess(process.hProcess, &run.code);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    return run;
}

std::string Utf8(const std::wstring& text)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}
