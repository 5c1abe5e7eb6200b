#include "support/AppDriver.h"

#include <commctrl.h>

#include <stdexcept>
#include <thread>

#include "app/FolderLookup.h"
#include "support/TestSupport.h"

RunningApp::RunningApp(const std::wstring& exePath, const std::wstring& arguments)
{
    std::wstring commandLine = L"\"" + exePath + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        FolderOfPath(exePath).c_str(), &startup, &info_))
        throw std::runtime_error("cannot start " + Utf8(exePath));
}

RunningApp::~RunningApp()
{
    Kill();
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
}

void RunningApp::Kill()
{
    if (!HasExited()) {
        TerminateProcess(info_.hProcess, 1);
        WaitForSingleObject(info_.hProcess, 10000);
    }
}

bool RunningApp::WaitForExit(std::chrono::milliseconds timeout)
{
    return WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

std::vector<HWND> RunningApp::Windows(const std::wstring& className) const
{
    struct Search {
        DWORD pid;
        const std::wstring* cls;
        std::vector<HWND> found;
    } search{info_.dwProcessId, &className, {}};
    EnumWindows(
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            DWORD pid = 0;
            GetWindowThreadProcessId(hwnd, &pid);
            wchar_t cls[256];
            GetClassNameW(hwnd, cls, static_cast<int>(std::size(cls)));
            if (pid == s->pid && IsWindowVisible(hwnd) && *s->cls == cls)
                s->found.push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND RunningApp::WaitForWindow(const std::wstring& className, const std::wstring& titlePart,
                               std::chrono::milliseconds timeout) const
{
    HWND result = nullptr;
    WaitFor(
        [&] {
            for (HWND hwnd : Windows(className))
                if (titlePart.empty() || WindowText(hwnd).find(titlePart) != std::wstring::npos) {
                    result = hwnd;
                    return true;
                }
            return HasExited();
        },
        timeout);
    return result;
}

std::wstring BuiltExePath()
{
    return FolderOfPath(TestBinFolder()) + L"\\bin\\TQ2ZULSetup.exe";
}

std::wstring WindowText(HWND hwnd)
{
    wchar_t buffer[8192];
    // WM_GETTEXT works across processes; GetWindowText would not ask another process's window.
    LRESULT n = SendMessageW(hwnd, WM_GETTEXT, std::size(buffer), reinterpret_cast<LPARAM>(buffer));
    return std::wstring(buffer, static_cast<size_t>(n));
}

std::wstring MessageBoxText(HWND box)
{
    // The message text is the static control with id 0xFFFF.
    HWND text = GetDlgItem(box, 0xFFFF);
    return text ? WindowText(text) : std::wstring();
}

void PressButton(HWND dialog, int id)
{
    PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

HWND FindChildByClass(HWND parent, const std::wstring& className)
{
    struct Search {
        const std::wstring* cls;
        HWND found;
    } search{&className, nullptr};
    EnumChildWindows(
        parent,
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            wchar_t cls[256];
            GetClassNameW(hwnd, cls, static_cast<int>(std::size(cls)));
            if (*s->cls == cls) {
                s->found = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

namespace {

// A block of memory inside the process that owns a window.
class RemoteBlock {
public:
    RemoteBlock(HWND owner, size_t size) : size_(size)
    {
        DWORD pid = 0;
        GetWindowThreadProcessId(owner, &pid);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (!process_)
            throw std::runtime_error("cannot open the application process");
        address_ = static_cast<BYTE*>(VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
        if (!address_)
            throw std::runtime_error("cannot allocate memory in the application process");
    }
    ~RemoteBlock()
    {
        VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        CloseHandle(process_);
    }
    BYTE* Address() const { return address_; }
    void Write(size_t offset, const void* data, size_t size) const
    {
        WriteProcessMemory(process_, address_ + offset, data, size, nullptr);
    }
    void Read(size_t offset, void* data, size_t size) const
    {
        ReadProcessMemory(process_, address_ + offset, data, size, nullptr);
    }

private:
    HANDLE process_ = nullptr;
    BYTE* address_ = nullptr;
    size_t size_;
};

}  // namespace

int RemoteListItemCount(HWND list)
{
    return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

std::wstring RemoteListItemText(HWND list, int row, int column)
{
    constexpr int kChars = 8192;
    RemoteBlock block(list, sizeof(LVITEMW) + kChars * sizeof(wchar_t));
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = reinterpret_cast<LPWSTR>(block.Address() + sizeof(LVITEMW));
    item.cchTextMax = kChars;
    block.Write(0, &item, sizeof item);
    auto n = static_cast<size_t>(SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                                              reinterpret_cast<LPARAM>(block.Address())));
    std::wstring text(n, L'\0');
    block.Read(sizeof(LVITEMW), text.data(), n * sizeof(wchar_t));
    return text;
}

RECT RemoteSubItemRect(HWND list, int row, int column)
{
    RemoteBlock block(list, sizeof(RECT));
    RECT rect{LVIR_BOUNDS, column, 0, 0};
    block.Write(0, &rect, sizeof rect);
    SendMessageW(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(block.Address()));
    block.Read(0, &rect, sizeof rect);
    return rect;
}

HWND DismissWarningAndFindDialog(const RunningApp& app, std::wstring* warningText)
{
    HWND box = app.WaitForWindow(L"#32770");
    if (!box)
        return nullptr;
    if (warningText)
        *warningText = MessageBoxText(box);
    PressButton(box, IDOK);
    return app.WaitForWindow(L"#32770", kSetupCaption);
}

bool AddThroughFileDialog(const RunningApp& app, HWND setupDialog, const std::wstring& fileNameText)
{
    constexpr int kFileNameBox = 1152;  // the common file dialogs' file name edit
    PressButton(setupDialog, 1000);
    HWND open = nullptr;
    if (!WaitFor([&] {
            for (HWND w : app.Windows(L"#32770"))
                if (w != setupDialog && GetDlgItem(w, kFileNameBox))
                    open = w;
            return open != nullptr;
        }))
        return false;
    SendMessageW(GetDlgItem(open, kFileNameBox), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(fileNameText.c_str()));
    PressButton(open, IDOK);
    return WaitFor([&] { return !IsWindow(open); });
}
