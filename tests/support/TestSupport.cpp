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
    const std::wstring base = std::filesystem::temp_directory_path().wstring();
    for (;;) {
        std::wstring candidate = base + L"tq2zul-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                 std::to_wstring(GetTickCount64()) + L"-" + std::to_wstring(++counter);
        if (CreateDirectoryW(candidate.c_str(), nullptr)) {
            path_ = FullPathOf(candidate);
            return;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            throw std::runtime_error("cannot create a temporary folder");
    }
}

TempDir::~TempDir()
{
    RemoveTree(path_);
}

void RemoveTree(const std::wstring& path)
{
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(LongPathForm(path + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = data.cFileName, child = LongPathForm(path + L"\\" + name);
            if (name == L"." || name == L"..")
                continue;
            SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path + L"\\" + name);
            else
                DeleteFileW(child.c_str());
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    RemoveDirectoryW(LongPathForm(path).c_str());
}

std::wstring TestBinFolder()
{
    return GetProgramFolder();
}

std::wstring FixturePath(const std::wstring& name)
{
    // Beside the tests, or seen from the benchmarks' folder beside them.
    const std::wstring here = TestBinFolder() + L"\\fixtures\\" + name;
    return FileExists(here) ? here : FolderOf(TestBinFolder()) + L"\\tests\\fixtures\\" + name;
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

bool FileExists(const std::wstring& path)
{
    return GetFileAttributesW(LongPathForm(path).c_str()) != INVALID_FILE_ATTRIBUTES;
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

std::string Utf8(const std::wstring& text)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}
