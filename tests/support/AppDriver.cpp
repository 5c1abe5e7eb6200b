#include "support/AppDriver.h"

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
