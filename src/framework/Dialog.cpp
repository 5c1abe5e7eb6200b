#include "framework/Dialog.h"

#include <utility>
#include <vector>

namespace {

thread_local std::vector<CDialog*> t_modalDialogs;

class ModalScope {
public:
    explicit ModalScope(CDialog* dialog) { t_modalDialogs.push_back(dialog); }
    ~ModalScope() { t_modalDialogs.pop_back(); }
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;
};

bool IsInput(UINT msg)
{
    return (msg >= WM_KEYFIRST && msg <= WM_KEYLAST) || (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST);
}

}  // namespace

const MessageMapEntry CDialog::kMessageMap[] = {
    MapMessage<&CDialog::OnInitDialog>(WM_INITDIALOG),
    MapCommand<&CDialog::OnOK>(IDOK, BN_CLICKED),
    MapCommand<&CDialog::OnCancel>(IDCANCEL, BN_CLICKED),
};

bool CDialog::OnWndMsg(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result)
{
    return DispatchMessageMap(kMessageMap, *this, msg, wp, lp, result) || CWnd::OnWndMsg(msg, wp, lp, result);
}

HWND CDialog::ActiveModalWindow()
{
    return t_modalDialogs.empty() ? nullptr : t_modalDialogs.back()->m_hWnd;
}

INT_PTR CDialog::DoModal()
{
    if (m_hWnd != nullptr)
        return -1;
    HWND owner = parent_;
    bool ownerDisabled = owner != nullptr && IsWindowEnabled(owner);
    if (ownerDisabled)
        EnableWindow(owner, FALSE);

    result_ = -1;
    continueModal_ = true;
    {
        ModalScope scope(this);
        HWND hwnd = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), owner, DialogProc,
                                       reinterpret_cast<LPARAM>(this));
        if (hwnd != nullptr && m_hWnd == hwnd && continueModal_) {
            if (!IsWindowVisible(hwnd))
                ::ShowWindow(hwnd, SW_SHOWNORMAL);
            RunModalLoop();
        }
        if (hwnd != nullptr && IsWindow(hwnd)) {
            // Hide first and give the owner back its input, so that the activation
            // goes to the owner rather than to some other application.
            SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                         SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
            if (ownerDisabled)
                EnableWindow(owner, TRUE);
            ownerDisabled = false;
            if (owner != nullptr && GetActiveWindow() == hwnd)
                SetActiveWindow(owner);
            DestroyWindow(hwnd);
        }
    }
    if (ownerDisabled)
        EnableWindow(owner, TRUE);
    continueModal_ = false;
    return result_;
}

void CDialog::EndDialog(INT_PTR result)
{
    result_ = result;
    continueModal_ = false;
    // Wakes the loop when this runs inside a sent message, which GetMessage does not return.
    if (m_hWnd != nullptr)
        PostMessage(WM_NULL);
}

void CDialog::RunModalLoop()
{
    MSG msg;
    while (continueModal_ && m_hWnd != nullptr) {
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1)
            break;
        if (got == 0) {
            // The quit request belongs to whoever runs the outer loop.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (!PreTranslateTree(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

bool CDialog::PreTranslateTree(MSG& msg)
{
    for (HWND hwnd = msg.hwnd; hwnd != nullptr;) {
        if (CWnd* wnd = FromHandlePermanent(hwnd)) {
            BOOL handled = FALSE;
            try {
                handled = wnd->PreTranslateMessage(&msg);
            } catch (...) {
                OutputDebugStringW(L"TQ2ZULSetup: PreTranslateMessage ended by an exception\n");
                handled = FALSE;
            }
            if (handled)
                return true;
        }
        if (hwnd == m_hWnd || (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD) == 0)
            break;
        hwnd = ::GetParent(hwnd);
    }
    return false;
}

BOOL CDialog::PreTranslateMessage(MSG* msg)
{
    if (!IsInput(msg->message))
        return FALSE;
    if (msg->hwnd != m_hWnd && !IsChild(m_hWnd, msg->hwnd))
        return FALSE;
    return IsDialogMessageW(m_hWnd, msg);
}

BOOL CDialog::OnInitDialog()
{
    DoDataExchange();
    return TRUE;
}

void CDialog::DDX_Control(int id, CWnd& control)
{
    if (control.m_hWnd == nullptr)
        control.SubclassWindow(GetDlgItem(id));
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    // Every message but the first reaches the message map through the subclass; the
    // dialog manager only wants this procedure's answer to WM_INITDIALOG.
    if (msg != WM_INITDIALOG)
        return FALSE;
    auto* self = reinterpret_cast<CDialog*>(lp);
    if (self == nullptr || self->m_hWnd != nullptr || !self->SubclassWindow(hwnd))
        return FALSE;
    return self->HandleMessage(msg, wp, lp);
}
