// Loading a menu file of 37 entries whose DLLs all carry a version resource, against
// the bare cost of reading those 37 version resources.
#include "menu_bench.h"

#include <cstdio>

#include "core/table/ModuleCatalogue.h"
#include "core/table/ModuleTable.h"
#include "core/menu/MenuFormat.h"
#include "core/menu/MenuLoader.h"
#include "platform/SystemLibrary.h"

int main()
{
    TempDir folder;
    ModuleCatalogue catalogue;
    catalogue.FillCatalogue();
    const std::wstring source = FixtureModule(L"apSampleFull.dll");
    std::string menu;
    for (const std::wstring& name : CatalogueNames(catalogue)) {
        if (!CopyFileW(source.c_str(), (folder / name).c_str(), FALSE)) {
            std::printf("cannot copy the fixture module (build the tests first)\n");
            return 1;
        }
        for (wchar_t c : ComposeMenuEntry(name, L"Menu"))
            menu += static_cast<char>(c);
        menu += "\r\n";
    }
    WriteFileBytes(folder / L"zulmenu.txt", menu);

    ModuleTable table;

    auto load = [&] { LoadMenuFile(folder.Path(), table, catalogue); };
    auto bare = [&] {
        std::vector<char> block;
        for (const std::wstring& name : CatalogueNames(catalogue)) {
            std::wstring path = folder / name;
            DWORD handle = 0;
            DWORD size = SystemVersionFunctions()->getFileVersionInfoSize(path.c_str(), &handle);
            block.resize(size);
            SystemVersionFunctions()->getFileVersionInfo(path.c_str(), 0, size, block.data());
        }
    };
    load();
    bare();
    if (table.GetCount() != kCatalogueSize || table.GetRow(0).moduleName == L"ap") {
        std::printf("the load did not read the modules\n");
        return 1;
    }
    // Interleaved, so both see the same file cache and machine load.
    const int rounds = 41;
    std::vector<double> loads, bares;
    for (int i = 0; i < rounds; ++i) {
        loads.push_back(ElapsedNs(load));
        bares.push_back(ElapsedNs(bare));
    }
    const double loadNs = Median(loads), bareNs = Median(bares);
    std::printf("menu load, %d entries with their DLLs (median of %d runs)\n", kCatalogueSize, rounds);
    std::printf("  LoadMenuFile:                 %8.1f us per entry\n", loadNs / kCatalogueSize / 1000);
    std::printf("  GetFileVersionInfo(Size)W:    %8.1f us per DLL\n", bareNs / kCatalogueSize / 1000);
    std::printf("  ratio load / bare version reads: %.2f\n", loadNs / bareNs);
    return 0;
}
