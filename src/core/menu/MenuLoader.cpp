#include "core/menu/MenuLoader.h"

#include "core/table/ModuleName.h"
#include "core/menu/CiStTextFile.h"
#include "core/menu/MenuFormat.h"
#include "core/modules/CiStFileInformation.h"

namespace {

void MarkIfCatalogued(ModuleCatalogue& catalogue, const std::wstring& name)
{
    int i = catalogue.Find(name);
    if (i != -1)
        catalogue.MarkPresent(i);
}

}  // namespace

void LoadMenuFile(const std::wstring& addInFolder, ModuleTable& table, ModuleCatalogue& catalogue)
{
    table.Clear();
    CStringArray lines;
    {
        // Let go of the menu file before the DLLs are inspected: the host may want it.
        CiStTextFile file;
        if (!file.ReadLines(MenuFilePath(addInFolder)))
            return;
        lines = file.GetLines();
    }

    CStringArray fields;
    for (int i = 0; i < lines.GetSize(); ++i) {
        if (!SplitMenuEntry(lines[i], fields))
            continue;
        ModuleRow row;
        row.menuLine = i;
        row.dllFileName = EntryDllName(fields);
        row.menuName = fields[1];
        row.sourcePath = addInFolder + L"\\" + row.dllFileName;
        CiStFileInformation info(row.sourcePath);
        row.moduleName = kModulePrefix + info.GetInternalName();
        table.AppendRow(row, info.GetProductVersion());
        MarkIfCatalogued(catalogue, row.moduleName);
        MarkIfCatalogued(catalogue, row.dllFileName);
    }
}
