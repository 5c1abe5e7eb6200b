// Apply of 37 added modules, each a 1 MiB DLL and two pictures, against plain
// CopyFileW of the same 111 files in the same run. All overwrite what the previous
// round left, as a repeated Apply does. The copies alone, through the temporary file
// and rename that Apply uses, are timed too: the rest of Apply is finding the files
// and the menu rewrite, whose flush to disk also waits for the copied data.
#include "menu_bench.h"

#include <cstdio>

#include "core/table/ModuleCatalogue.h"
#include "core/table/ModuleTable.h"
#include "core/apply/Apply.h"
#include "core/apply/Deploy.h"
#include "platform/FileCopy.h"

namespace {

constexpr int kModules = 37;
constexpr int kRounds = 9;

// Writes the folder's files out to the disk, untimed, so that no run pays for the data
// another run left in the cache.
void Settle(const std::wstring& folder)
{
    for (const std::wstring& name : ListFolderFiles(folder)) {
        HANDLE file = CreateFileW((folder + L"\\" + name).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            FlushFileBuffers(file);
            CloseHandle(file);
        }
    }
}

void EmptyFolder(const std::wstring& folder)
{
    for (const std::wstring& name : ListFolderFiles(folder))
        DeleteFileW((folder + L"\\" + name).c_str());
}

// Times work writing into folder: into an emptied folder (a first install) or over the
// files the previous run left (a repeated one).
double Timed(const std::function<void()>& work, const std::wstring& folder, bool intoEmpty)
{
    if (intoEmpty)
        EmptyFolder(folder);
    const double ns = ElapsedNs(work);
    Settle(folder);
    return ns;
}

std::string Bytes(size_t size, unsigned seed)
{
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) {
        seed = seed * 1103515245u + 12345u;
        bytes[i] = static_cast<char>(seed >> 16);
    }
    return bytes;
}

}  // namespace

int main()
{
    TempDir base;
    const std::wstring source = base / L"modules", addIn = base / L"zul_ap", copies = base / L"copies",
                       swapped = base / L"swapped";
    for (const std::wstring& folder : {source, addIn, copies, swapped})
        CreateDirectoryW(folder.c_str(), nullptr);

    ModuleTable table;

    std::vector<std::wstring> files;
    for (int i = 0; i < kModules; ++i) {
        wchar_t stem[16];
        swprintf(stem, std::size(stem), L"Mod%02d", i + 1);
        const std::wstring module = std::wstring(L"ap") + stem;
        WriteFileBytes(source + L"\\" + module + L".dll", Bytes(1u << 20, i));
        WriteFileBytes(source + L"\\" + module + L"_16.png", Bytes(4u << 10, i + 100));
        WriteFileBytes(source + L"\\" + module + L"_32.png", Bytes(16u << 10, i + 200));
        for (const wchar_t* suffix : {L".dll", L"_16.png", L"_32.png"})
            files.push_back(module + suffix);
        table.AppendRow({RowStatus::Added, module + L".dll", module + L".dll", std::wstring(L"Module ") + stem,
                              source + L"\\" + module + L".dll"}, L"1.0");
    }

    ModuleCatalogue catalogue;
    bool complete = true;
    auto apply = [&] {
        catalogue.FillCatalogue();
        DeleteFileW((addIn + L"\\zulmenu.txt").c_str());
        const ApplyOutcome outcome = ApplyPendingModules(table, catalogue, addIn);
        complete = complete && outcome.MenuRewritten() && outcome.filesCopied == 3 * kModules &&
                   outcome.problems.empty();
    };
    auto plain = [&] {
        for (const std::wstring& name : files)
            complete = CopyFileW((source + L"\\" + name).c_str(), (copies + L"\\" + name).c_str(), FALSE) && complete;
    };
    auto whole = [&] {
        for (const std::wstring& name : files) {
            std::wstring temp;
            complete = CopyToTempBeside(source + L"\\" + name, swapped + L"\\" + name, temp) == 0 &&
                       MoveThrough(temp, swapped + L"\\" + name, true) == 0 && complete;
        }
    };

    apply();
    plain();
    whole();
    for (const std::wstring& folder : {source, addIn, copies, swapped})
        Settle(folder);

    std::printf("apply_copy: %d modules, %d files, %.1f MiB per run, median of %d runs\n", kModules, 3 * kModules,
                kModules * (1.0 + 20.0 / 1024), kRounds);
    for (bool intoEmpty : {true, false}) {
        std::vector<double> applyNs, plainNs, wholeNs;
        for (int round = 0; round < kRounds; ++round) {
            // Alternating the order spreads the machine's drift over all three.
            if (round % 2) {
                plainNs.push_back(Timed(plain, copies, intoEmpty));
                wholeNs.push_back(Timed(whole, swapped, intoEmpty));
                applyNs.push_back(Timed(apply, addIn, intoEmpty));
            } else {
                applyNs.push_back(Timed(apply, addIn, intoEmpty));
                wholeNs.push_back(Timed(whole, swapped, intoEmpty));
                plainNs.push_back(Timed(plain, copies, intoEmpty));
            }
        }
        const double applyMs = Median(applyNs) / 1e6, plainMs = Median(plainNs) / 1e6,
                     wholeMs = Median(wholeNs) / 1e6;
        std::printf("%s\n", intoEmpty ? "into an empty add-in folder:" : "over the files of the previous run:");
        std::printf("  Apply            %8.2f ms\n", applyMs);
        std::printf("  plain CopyFileW  %8.2f ms\n", plainMs);
        std::printf("  copies alone     %8.2f ms (temporary file and rename, no search, no menu)\n", wholeMs);
        std::printf("  Apply / plain    %8.2fx (aim: within 1.2x)\n", applyMs / plainMs);
        std::printf("  copies / plain   %8.2fx\n", wholeMs / plainMs);
    }

    const int deployed = static_cast<int>(ListFolderFiles(addIn).size());
    for (const std::wstring& folder : {source, addIn, copies, swapped}) {
        EmptyFolder(folder);
        RemoveDirectoryW(folder.c_str());
    }
    if (!complete || deployed != 3 * kModules + 1) {
        std::printf("apply_copy: the runs did not deploy every file (%d in the add-in folder)\n", deployed);
        return 1;
    }
    return 0;
}
