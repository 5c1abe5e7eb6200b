#include "app/TQ2ZULSetupDlg.h"

#include "app/FolderLookup.h"
#include "app/RowEditing.h"
#include "framework/MessageBox.h"
#include "menu/Apply.h"
#include "menu/MenuLoader.h"
#include "modules/DroppedFiles.h"
#include "modules/ModuleFileDialog.h"
#include "modules/ModuleIntake.h"

namespace {

struct ListColumn {
    const wchar_t* heading;
    int width;
};
// The module list's columns in ModuleListColumn order, widths in pixels.
constexpr ListColumn kListColumns[] = {
    {L"상태", 60},
    {L"dll명칭", 250},
    {L"메뉴명칭", 180},
    {L"버젼", 80},
};

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
};

bool CTQ2ZULSetupDlg::OnWndMsg(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result)
{
    return DispatchMessageMap(kMessageMap, *this, msg, wp, lp, result) || CDialog::OnWndMsg(msg, wp, lp, result);
}

CTQ2ZULSetupDlg::CTQ2ZULSetupDlg(HWND parent) : CDialog(IDD_TQ2ZULSETUP_DIALOG, parent)
{
    m_hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
    moduleList.SetFileDropTarget(this);
}

CTQ2ZULSetupDlg::~CTQ2ZULSetupDlg() = default;

void CTQ2ZULSetupDlg::DoDataExchange()
{
    DDX_Control(IDC_MODULE_LIST, moduleList);
}

BOOL CTQ2ZULSetupDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    LookUpAddInFolder(hostInstallPath, addInFolder);
    rememberedFolder = GetProgramFolder();

    moduleList.SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    for (int i = 0; i < static_cast<int>(std::size(kListColumns)); ++i)
        moduleList.InsertColumn(i, kListColumns[i].heading, LVCFMT_LEFT, kListColumns[i].width);
    moduleList.AddReadOnlyColumn(kColumnStatus);
    moduleList.AddReadOnlyColumn(kColumnModuleName);
    moduleList.AddReadOnlyColumn(kColumnVersion);

    catalogue.FillCatalogue();
    LoadMenuFile(addInFolder, table, catalogue);

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
    if (!info)
        return 1;
    const int row = info->item.iItem;
    std::wstring text = info->item.pszText ? info->item.pszText : L"";
    if (StoreEditedMenuName(table, wp, row, info->item.iSubItem, text) != CellEditDecision::RefusedEmpty)
        return 1;
    AfxMessageBox(kEmptyMenuNameMessage, MB_OK);
    RestoreMenuNameCell(table, moduleList, row);
    return 0;
}

void CTQ2ZULSetupDlg::OnAddModule()
{
    CStringArray paths, names, folders;
    if (SelectModuleFiles(m_hWnd, rememberedFolder, kModuleFileFilter, paths, names, folders) <= 0)
        return;
    rememberedFolder = folders.GetAt(0);
    ShowIfAny(IntakeSelectedFiles(table, {paths.begin(), paths.end()}));
}

void CTQ2ZULSetupDlg::OnDeleteSelected()
{
    DeleteSelectedRows(table, moduleList);
}

void CTQ2ZULSetupDlg::OnApply()
{
    ApplyOutcome outcome = ApplyPendingModules(table, catalogue, addInFolder);
    if (outcome.MenuRewritten())
        LoadMenuFile(addInFolder, table, catalogue);
    for (const std::wstring& message : ApplyMessages(outcome))
        AfxMessageBox(message, MB_OK);
}

void CTQ2ZULSetupDlg::OnDropFiles(HDROP)
{
    Default();
}

void CTQ2ZULSetupDlg::OnFilesDropped(HDROP drop)
{
    ShowIfAny(IntakeDroppedFiles(table, DroppedFilePaths(drop)));
}

void CTQ2ZULSetupDlg::ShowIfAny(const std::wstring& message)
{
    if (!message.empty())
        AfxMessageBox(message, MB_OK);
}
