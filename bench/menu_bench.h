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
#include "support/TestSupport.h"

// Folders and file writes are the tests' own (support/TestSupport.h).
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
