#pragma once
// Small helpers shared by the menu benchmarks: a scratch folder, file bytes, timing.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/table/ModuleCatalogue.h"
#include "platform/Paths.h"

// A fresh folder under the system temp folder, removed with its files at the end.
class BenchFolder {
public:
    BenchFolder()
    {
        wchar_t base[MAX_PATH + 1];
        GetTempPathW(static_cast<DWORD>(std::size(base)), base);
        path_ = std::wstring(base) + L"tq2zul-bench-" + std::to_wstring(GetCurrentProcessId());
        if (!CreateDirectoryW(path_.c_str(), nullptr))
            throw std::runtime_error("cannot create the bench folder");
    }
    ~BenchFolder()
    {
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW((path_ + L"\\*").c_str(), &data);
        if (find != INVALID_HANDLE_VALUE) {
            do
                DeleteFileW((path_ + L"\\" + data.cFileName).c_str());
            while (FindNextFileW(find, &data));
            FindClose(find);
        }
        RemoveDirectoryW(path_.c_str());
    }
    const std::wstring& Path() const { return path_; }
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

inline void WriteBytes(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    bool ok = file != INVALID_HANDLE_VALUE &&
              WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size();
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    if (!ok)
        throw std::runtime_error("cannot write a bench file");
}

inline double ElapsedNs(const std::function<void()>& work)
{
    auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start).count();
}

inline double Median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// The tests' fixture modules, built beside the benchmarks' folder.
inline std::wstring FixtureModule(const std::wstring& name)
{
    return FolderOf(GetProgramFolder()) + L"\\tests\\fixtures\\" + name;
}

// The catalogue's names, in order.
inline std::vector<std::wstring> CatalogueNames(const ModuleCatalogue& catalogue)
{
    std::vector<std::wstring> names;
    for (int i = 0; i < catalogue.GetSize(); ++i)
        names.push_back(catalogue.Name(i));
    return names;
}
