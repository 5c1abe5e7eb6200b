#include "support/windows/WindowDriver.h"

#include <shlobj.h>

#include <atomic>
#include <cstring>
#include <thread>

namespace {

thread_local UiThread* t_ui = nullptr;

// Sends msg with lParam pointing at a copy of block made in the process that owns
// window, then copies back what the window wrote. fill is told the copy's address
// first, for blocks that point into themselves.
template <class Block, class Fill>
LRESULT SendWithBlock(HWND window, UINT msg, WPARAM wp, Block& block, Fill fill)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    auto* remote = static_cast<Block*>(VirtualAllocEx(process, nullptr, sizeof block, MEM_COMMIT, PAGE_READWRITE));
    if (remote == nullptr)
        throw std::runtime_error("cannot reach the memory of the window's process");
    fill(remote);
    WriteProcessMemory(process, remote, &block, sizeof block, nullptr);
    LRESULT result = SendMessageW(window, msg, wp, reinterpret_cast<LPARAM>(remote));
    ReadProcessMemory(process, remote, &block, sizeof block, nullptr);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return result;
}

}  // namespace

UiThread::UiThread(std::function<void()> onBox) : onBox_(std::move(onBox))
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = [](HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
        if (msg != WM_APP)
            return DefWindowProcW(hwnd, msg, wp, lp);
        std::unique_ptr<std::function<void()>>(reinterpret_cast<std::function<void()>*>(lp))->operator()();
        return 0;
    };
    wc.lpszClassName = L"TQ2ZULSetup.UiThread";
    RegisterClassW(&wc);
    window_ = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    t_ui = this;
    hook_ = SetWindowsHookExW(WH_CBT, AnswerBoxes, nullptr, GetCurrentThreadId());
}

UiThread::~UiThread()
{
    UnhookWindowsHookEx(hook_);
    DestroyWindow(window_);
}

LRESULT CALLBACK UiThread::AnswerBoxes(int code, WPARAM wp, LPARAM lp)
{
    // A box's text is its static 0xFFFF; a box is activated again when focus comes back.
    auto box = reinterpret_cast<HWND>(wp);
    if (code == HCBT_ACTIVATE && GetDlgItem(box, 0xFFFF) && !GetPropW(box, L"answered")) {
        SetPropW(box, L"answered", box);
        t_ui->onBox_();
        t_ui->boxTexts_.push_back(WindowText(GetDlgItem(box, 0xFFFF)));
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

void UiThread::Post(std::function<void()> job) const
{
    PostMessageW(window_, WM_APP, 0, reinterpret_cast<LPARAM>(new std::function<void()>(std::move(job))));
}

INT_PTR RunModal(CDialog& dialog, const std::function<void(UiThread&)>& script, std::function<void()> onBox)
{
    UiThread ui(std::move(onBox));
    std::exception_ptr error;
    std::atomic<bool> done = false;
    std::thread thread([&] {
        try {
            ui.Call([] {});  // the UI thread takes it once the dialog has its window
            script(ui);
        } catch (...) {
            error = std::current_exception();
        }
        ui.Call([&] {
            if (dialog.m_hWnd != nullptr)
                dialog.EndDialog(IDOK);
        });
        done = true;
    });
    INT_PTR result = dialog.DoModal();
    WaitFor([&] { return done.load(); }, std::chrono::minutes(10));  // the script may still call in
    thread.join();
    if (error)
        std::rethrow_exception(error);
    return result;
}

HDROP MakeDropHandle(const std::vector<std::wstring>& paths)
{
    std::wstring names;
    for (const auto& path : paths)
        names += path + L'\0';
    HGLOBAL drop = GlobalAlloc(GHND, sizeof(DROPFILES) + (names.size() + 1) * sizeof(wchar_t));
    auto* header = static_cast<DROPFILES*>(GlobalLock(drop));
    *header = {sizeof(DROPFILES), {}, FALSE, TRUE};
    std::memcpy(header + 1, names.data(), names.size() * sizeof(wchar_t));
    GlobalUnlock(drop);
    return static_cast<HDROP>(drop);
}

RunningApp::RunningApp()
{
    const std::wstring exe = BuiltExePath();
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(exe.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, FolderOf(exe).c_str(), &startup, &info_))
        throw std::runtime_error("cannot start " + Utf8(exe));
}

HWND RunningApp::WaitForDialog(const std::function<bool(HWND)>& wanted) const
{
    HWND found = nullptr;
    WaitFor([&] {
        for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, L"#32770", nullptr)) != nullptr;) {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid == info_.dwProcessId && IsWindowVisible(w) && wanted(w))
                return (found = w) != nullptr;
        }
        return WaitForExit(std::chrono::milliseconds(0));
    });
    return found;
}

std::wstring RunningApp::AnswerBox() const
{
    // A message box's text is its static 0xFFFF.
    HWND box = WaitForDialog([](HWND w) { return GetDlgItem(w, 0xFFFF) != nullptr; });
    const std::wstring text = box ? WindowText(GetDlgItem(box, 0xFFFF)) : L"";
    if (box)
        PressButton(box, IDOK);
    return text;
}

HWND RunningApp::Start() const
{
    // Only the setup dialog has the list.
    return AnswerBox().empty() ? nullptr : WaitForDialog([](HWND w) { return GetDlgItem(w, 1013) != nullptr; });
}

bool RunningApp::AddThroughFileDialog(HWND setupDialog, const std::wstring& names) const
{
    // 1152 is the file name box of the common file dialogs.
    PressButton(setupDialog, 1000);
    HWND open = WaitForDialog([](HWND w) { return GetDlgItem(w, 1152) != nullptr; });
    if (open == nullptr)
        return false;
    SendMessageW(GetDlgItem(open, 1152), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(names.c_str()));
    PressButton(open, IDOK);
    return WaitFor([&] { return !IsWindow(open); });
}

std::wstring ListText(HWND list, int row, int column)
{
    struct {
        LVITEMW item;
        wchar_t text[1024];
    } block{};
    block.item.iSubItem = column;
    block.item.cchTextMax = static_cast<int>(std::size(block.text));
    LRESULT n = SendWithBlock(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), block,
                              [&](auto* remote) { block.item.pszText = remote->text; });
    return std::wstring(block.text, static_cast<size_t>(n));
}

RECT ListCellRect(HWND list, int row, int column)
{
    RECT rect{LVIR_BOUNDS, column, 0, 0};
    SendWithBlock(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), rect, [](RECT*) {});
    return rect;
}
