#include "core/table/ModuleCatalogue.h"

namespace {

// The order is the hand-out order of free names, so it is product data, not a sort:
// the slots were allotted in rounds of a general CAD tool, an interrupt tool ("Inter",
// which the host calls while a command runs) and a CAM tool ("Cam"), so that the first
// free names a host offers cover every kind of menu entry.
const wchar_t* const kCatalogueNames[kCatalogueSize] = {
    L"apDraftAssist.dll",  L"apInterSnap.dll",     L"apCamToolpath.dll", L"apLayerManager.dll",
    L"apInterMeasure.dll", L"apCamPostProc.dll",   L"apBlockLibrary.dll", L"apInterQuery.dll",
    L"apCamNesting.dll",   L"apDimensionKit.dll",  L"apInterSelect.dll", L"apCamDrill.dll",
    L"apTextStyler.dll",   L"apInterOverlay.dll",  L"apCamSimulate.dll", L"apHatchPattern.dll",
    L"apInterTrace.dll",   L"apCamLathe.dll",      L"apSheetMetal.dll",  L"apInterAnnotate.dll",
    L"apCamEngrave.dll",   L"apPipeRouting.dll",   L"apSurfaceFit.dll",  L"apBomExport.dll",
    L"apTitleBlock.dll",   L"apPointCloud.dll",    L"apRevisionLog.dll", L"apViewportSet.dll",
    L"apSymbolMaker.dll",  L"apGridSnap.dll",      L"apPlotBatch.dll",   L"apSolidSlicer.dll",
    L"apCurveOffset.dll",  L"apMacroRunner.dll",   L"apUnitConvert.dll", L"apXrefBinder.dll",
    L"apUserSlot.dll",
};

}  // namespace

void ModuleCatalogue::FillCatalogue()
{
    names_.RemoveAll();
    for (const wchar_t* name : kCatalogueNames)
        names_.Add(name);
    present_.assign(kCatalogueSize, false);
}

int ModuleCatalogue::FirstFree() const
{
    for (int i = 0; i < GetSize(); ++i)
        if (!present_[static_cast<size_t>(i)])
            return i;
    return -1;
}
