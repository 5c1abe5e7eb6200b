#include "app/TQ2ZULSetupDlg.h"

#include "app/DroppedFiles.h"
#include "texts/Messages.h"
#include "app/ModuleFileDialog.h"
#include "app/ModuleListView.h"
#include "texts/Texts.h"
#include "core/apply/Apply.h"
#include "core/apply/ApplyJournal.h"
#include "core/host/HostFolder.h"
#include "core/menu/MenuLoader.h"
#include "core/modules/ModuleIntake.h"
#include "core/modules/RowEditing.h"
#include "framework/MessageBox.h"
#include "platform/Paths.h"

namespace {

// The module list's column widths in pixels, in ModuleListColumn order.
constexpr int kColumnWidths[] = {60, 250, 180, 80};
static_assert(std::size(kColumnWidths) == std::size(kColumnHeadings));

}  // namespace

const MessageMapEntry CTQ2ZULSetupDlg::kMessageMap[] = {
    MapNotify<&CTQ2ZULSetupDlg::OnListClick>(IDC_MODULE_LIST, NM_CLICK),
    MapMessage<&CTQ2ZULSetupDlg::OnCellEditEnd>(WM_CELL_EDIT_END),
    MapMessage<&CTQ2ZULSetupDlg::OnPaint>(WM_PAINT),
    MapMessage<&CTQ2ZULSetupDlg::OnQueryDragIcon>(WM_QUERYDRAGICON),
    MapCommand<&CTQ2ZULSetupDlg::OnAddModule>(IDC_ADD_MODULE, BN_CLICKED),
    MapCommand<&CTQ2ZULSetupDlg::OnDeleteSelected>(IDC_DELETE_SELECTED, BN_CLICKED),
    // The apply button carries the cancel id, so the dialog manager's cancel is Apply.
    MapCommand<&CTQ2ZULSetupDlg::OnApply>(IDCANCEL, BN_CLICKED),
    MapMessage<&CTQ2ZULSetupDlg::OnDropFiles>(WM_DROPFILES),
    // Alt+F4, the taskbar's "Close window", End task: the dialog manager would turn it
    // into the cancel command, which is Apply. Closing ends the dialog as CLOSE does.
    MapMessage<&CTQ2ZULSetupDlg::OnClose>(WM_CLOSE),
};

bool CTQ2ZULSetupDlg::OnWndMsg(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result)
{
    return DispatchMessageMap(kMessageMap, *this, msg, wp, lp, result) || CDialog::OnWndMsg(msg, wp, lp, result);
}

CTQ2ZULSetupDlg::CTQ2ZULSetupDlg(HWND parent) : CDialog(IDD_TQ2ZULSETUP_DIALOG, parent)
{
    m_hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
    moduleList_.SetFileDropTarget(this);
}

CTQ2ZULSetupDlg::~CTQ2ZULSetupDlg() = default;

void CTQ2ZULSetupDlg::DoDataExchange()
{
    DDX_Control(IDC_MODULE_LIST, moduleList_);
}

BOOL CTQ2ZULSetupDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    LookUpAddInFolder(hostInstallPath_, addInFolder_);
    rememberedFolder_ = GetProgramFolder();

    moduleList_.SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    for (int i = 0; i < static_cast<int>(std::size(kColumnHeadings)); ++i)
        moduleList_.InsertColumn(i, kColumnHeadings[i], LVCFMT_LEFT, kColumnWidths[i]);
    moduleList_.AddReadOnlyColumn(kColumnStatus);
    moduleList_.AddReadOnlyColumn(kColumnModuleName);
    moduleList_.AddReadOnlyColumn(kColumnVersion);

    catalogue_.FillCatalogue();
    // An Apply that was cut short (killed, power lost) is put back before anything is shown.
    RecoverUnfinishedApply(addInFolder_);
    Reload();

    AfxMessageBox(kHostRunningWarning, MB_OK);
    return TRUE;
}

BOOL CTQ2ZULSetupDlg::PreTranslateMessage(MSG* msg)
{
    // Neither key may press a button: Enter would close the dialog and Escape would
    // start Apply. The cell editor sees both first.
    if (msg->message == WM_KEYDOWN && (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE))
        return TRUE;
    return CDialog::PreTranslateMessage(msg);
}

void CTQ2ZULSetupDlg::OnPaint()
{
    if (!IsIconic()) {
        Default();
        return;
    }
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_hWnd, &paint);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client = GetClientRect();
    int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, m_hIcon);
    EndPaint(m_hWnd, &paint);
}

HCURSOR CTQ2ZULSetupDlg::OnQueryDragIcon()
{
    return static_cast<HCURSOR>(m_hIcon);
}

void CTQ2ZULSetupDlg::OnListClick(NMHDR*, LRESULT* result)
{
    Invalidate(TRUE);
    *result = 0;
}

LRESULT CTQ2ZULSetupDlg::OnCellEditEnd(WPARAM wp, LPARAM lp)
{
    const auto* info = reinterpret_cast<const NMLVDISPINFOW*>(lp);
    if (!info || wp != IDC_MODULE_LIST)
        return 1;
    const int row = info->item.iItem;
    std::wstring text = info->item.pszText ? info->item.pszText : L"";
    if (StoreEditedMenuName(table_, row, info->item.iSubItem, text) != CellEditDecision::RefusedEmpty)
        return 1;
    AfxMessageBox(kEmptyMenuNameMessage, MB_OK);
    moduleList_.SetItemText(row, kColumnMenuName, table_.GetRow(row).menuName);
    return 0;
}

void CTQ2ZULSetupDlg::OnAddModule()
{
    CStringArray paths, folders;
    if (SelectModuleFiles(m_hWnd, rememberedFolder_, kModuleFileFilter, paths, folders) <= 0)
        return;
    rememberedFolder_ = folders.GetAt(0);
    const std::vector<std::wstring> refused = IntakeSelectedFiles(table_, {paths.begin(), paths.end()});
    ShowTable(table_, moduleList_);
    ShowIfAny(Refused32BitMessage(refused));
}

void CTQ2ZULSetupDlg::OnDeleteSelected()
{
    for (int item : DeleteSelectedRows(table_, SelectedItems(moduleList_)))
        moduleList_.DeleteItem(item);
}

void CTQ2ZULSetupDlg::OnApply()
{
    ApplyOutcome outcome = ApplyPendingModules(table_, catalogue_, addInFolder_);
    if (outcome.MenuRewritten())
        Reload();
    for (const std::wstring& message : ApplyMessages(outcome))
        AfxMessageBox(message, MB_OK);
}

void CTQ2ZULSetupDlg::OnClose()
{
    EndDialog(IDOK);
}

void CTQ2ZULSetupDlg::OnDropFiles(HDROP)
{
    Default();
}

void CTQ2ZULSetupDlg::OnFilesDropped(HDROP drop)
{
    const std::vector<std::wstring> refused = IntakeDroppedFiles(table_, DroppedFilePaths(drop));
    ShowTable(table_, moduleList_);
    ShowIfAny(Refused32BitMessage(refused));
}

void CTQ2ZULSetupDlg::Reload()
{
    LoadMenuFile(addInFolder_, table_, catalogue_);
    ShowTable(table_, moduleList_);
}

void CTQ2ZULSetupDlg::ShowIfAny(const std::wstring& message)
{
    if (!message.empty())
        AfxMessageBox(message, MB_OK);
}
