// tq2zul.exe install of 37 modules (1 MiB DLLs with a picture each) against what the
// dialog does for the same choice: load the host, take the picked files, Apply. Both
// start from the same empty add-in folder in every round; the program's run includes
// its own start, as a deployment system pays it.
#include "menu_bench.h"

#include <cstdio>

#include "core/apply/Apply.h"
#include "core/menu/MenuLoader.h"
#include "core/modules/ModuleIntake.h"
#include "support/ModuleFactory.h"
#include "support/TestSupport.h"

namespace {

constexpr int kModules = 37;
constexpr int kRounds = 5;

void Reset(const std::wstring& addIn)
{
    for (const std::wstring& journal : ListSubfolders(addIn + L"\\~tq2zul-journal"))
        RemoveFolderWithFiles(addIn + L"\\~tq2zul-journal\\" + journal);
    for (const std::wstring& name : ListFolderFiles(addIn))
        DeleteFileW((addIn + L"\\" + name).c_str());
}

}  // namespace

int main()
{
    TempDir base;
    const std::wstring source = base / L"modules", dialogHost = base / L"dialog", cliHost = base / L"cli";
    CreateFolderChain(source);
    CreateFolderChain(dialogHost + L"\\zul_ap");
    CreateFolderChain(cliHost + L"\\zul_ap");
    std::vector<std::wstring> paths;
    std::wstring arguments;
    for (int i = 1; i <= kModules; ++i) {
        const std::wstring name = L"Mod" + std::to_wstring(100 + i);
        MakeModuleDll(source + L"\\ap" + name + L".dll", {name + L".dll", L"모듈 " + name, L"1.0.0.1", true, 1u << 20});
        WriteFileBytes(source + L"\\ap" + name + L"_16.png", std::string(4096, 'p'));
        paths.push_back(source + L"\\ap" + name + L".dll");
        arguments += L" \"" + paths.back() + L"\"";
    }
    const std::wstring program = FolderOf(GetProgramFolder()) + L"\\bin\\tq2zul.exe";
    const std::wstring commandLine = L"\"" + program + L"\" install" + arguments + L" --quiet --host \"" + cliHost + L"\"";

    bool complete = true;
    auto dialog = [&] {
        ModuleTable table;
        ModuleCatalogue catalogue;
        catalogue.FillCatalogue();
        LoadMenuFile(dialogHost + L"\\zul_ap", table, catalogue);
        IntakeSelectedFiles(table, paths);
        complete = ApplyPendingModules(table, catalogue, dialogHost + L"\\zul_ap").filesCopied == 2 * kModules && complete;
    };
    auto cli = [&] { complete = RunProgram(commandLine).code == 0 && complete; };
    // What starting the program costs alone, to tell it from the work.
    auto start = [&] { RunProgram(L"\"" + program + L"\" --help"); };

    std::vector<double> dialogNs, cliNs, startNs;
    for (int round = 0; round < kRounds; ++round) {
        Reset(dialogHost + L"\\zul_ap");
        Reset(cliHost + L"\\zul_ap");
        if (round % 2) {
            cliNs.push_back(ElapsedNs(cli));
            dialogNs.push_back(ElapsedNs(dialog));
        } else {
            dialogNs.push_back(ElapsedNs(dialog));
            cliNs.push_back(ElapsedNs(cli));
        }
        startNs.push_back(ElapsedNs(start));
    }
    const bool same = ListFolderFiles(dialogHost + L"\\zul_ap").size() == ListFolderFiles(cliHost + L"\\zul_ap").size();
    std::printf("cli_install: %d modules of 1 MiB with a picture each, median of %d rounds\n", kModules, kRounds);
    std::printf("  dialog (load, add, Apply)   %8.1f ms\n", Median(dialogNs) / 1e6);
    std::printf("  tq2zul.exe install          %8.1f ms (program start included)\n", Median(cliNs) / 1e6);
    std::printf("  install / dialog            %8.2fx (aim: within 1.1x)\n", Median(cliNs) / Median(dialogNs));
    std::printf("  tq2zul.exe --help alone     %8.1f ms: its start\n", Median(startNs) / 1e6);
    std::printf("  (install - start) / dialog  %8.2fx\n", (Median(cliNs) - Median(startNs)) / Median(dialogNs));
    for (const std::wstring& host : {dialogHost, cliHost}) {
        Reset(host + L"\\zul_ap");
        RemoveDirectoryW((host + L"\\zul_ap\\~tq2zul-journal").c_str());
        RemoveDirectoryW((host + L"\\zul_ap").c_str());
        RemoveDirectoryW(host.c_str());
    }
    RemoveFolderWithFiles(source);
    if (!complete || !same) {
        std::printf("cli_install: a run did not install every file\n");
        return 1;
    }
    return 0;
}
