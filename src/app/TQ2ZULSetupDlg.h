#pragma once
// The program's one window: the setup dialog with the module list, the module table
// behind it, the built-in module catalogue and the folders found at start.
#include <string>

#include "controls/CiStCListCtrl.h"
#include "core/table/ModuleCatalogue.h"
#include "core/table/ModuleTable.h"
#include "controls/FileDropTarget.h"
#include "framework/Dialog.h"
#include "resource.h"

class CTQ2ZULSetupDlg : public CDialog, public FileDropTarget {
public:
    explicit CTQ2ZULSetupDlg(HWND parent = nullptr);
    ~CTQ2ZULSetupDlg() override;

    BOOL PreTranslateMessage(MSG* msg) override;

    const ModuleTable& GetTable() const { return table_; }

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
    void OnClose();
    // Files dropped on the module list.
    void OnFilesDropped(HDROP drop) override;

private:
    static void ShowIfAny(const std::wstring& message);
    void Reload();

    HICON m_hIcon = nullptr;
    // Where the add-module file dialog opens.
    std::wstring rememberedFolder_;
    // Empty when the host is not installed.
    std::wstring hostInstallPath_;
    std::wstring addInFolder_;
    CiStCListCtrl moduleList_;
    ModuleTable table_;
    ModuleCatalogue catalogue_;

    static const MessageMapEntry kMessageMap[];
};
