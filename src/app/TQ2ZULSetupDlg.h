#pragma once
// The program's one window: the setup dialog with the module list, the module table
// behind it, the built-in module catalogue and the folders found at start.
#include <string>

#include "app/ModuleCatalogue.h"
#include "app/ModuleTable.h"
#include "controls/CiStCListCtrl.h"
#include "controls/FileDropTarget.h"
#include "framework/Dialog.h"
#include "resource.h"

// Shown at every start, before the dialog appears.
inline constexpr wchar_t kHostRunningWarning[] =
    L"TOLVAN-QUORAL2 가 구동되어 있으면, 정상 설치가 안됩니다. \nTOLVAN-QUORAL2 를 종료해주세요.";

class CTQ2ZULSetupDlg : public CDialog, public FileDropTarget {
public:
    explicit CTQ2ZULSetupDlg(HWND parent = nullptr);
    ~CTQ2ZULSetupDlg() override;

    BOOL PreTranslateMessage(MSG* msg) override;

    HICON m_hIcon = nullptr;
    // Where the add-module file dialog opens.
    std::wstring rememberedFolder;
    // Empty when the host is not installed.
    std::wstring hostInstallPath;
    std::wstring addInFolder;
    CiStCListCtrl moduleList;
    ModuleTable table{moduleList};
    ModuleCatalogue catalogue;

protected:
    void DoDataExchange() override;
    BOOL OnInitDialog() override;
    bool OnWndMsg(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

    void OnListClick(NMHDR* header, LRESULT* result);
    LRESULT OnCellEditEnd(WPARAM wp, LPARAM lp);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnAddModule();
    void OnDeleteSelected();
    void OnApply();
    void OnDropFiles(HDROP drop);
    // Files dropped on the module list.
    void OnFilesDropped(HDROP drop) override;

private:
    static void ShowIfAny(const std::wstring& message);

    static const MessageMapEntry kMessageMap[];
};
