#pragma once
// Drives real windows as a user would. In this process: the test's main thread runs a
// real modal loop while a script on a second thread posts input to its windows (so the
// input passes the loop's own filtering) and runs short functions on the main thread
// to read or set state. Outside it: the built TQ2ZULSetup.exe as its own process. The
// window helpers at the end work on the windows of this process and of others alike.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/Dialog.h"
#include "platform/Paths.h"
#include "support/TestSupport.h"

class UiThread {
public:
    // Made on the UI thread. Every message box the thread shows from then on is
    // answered with OK, after onBox ran and its text was noted.
    explicit UiThread(std::function<void()> onBox);
    ~UiThread();

    // Runs fn on the UI thread once it has handled what was posted to it before, and
    // returns fn's result or throws what fn threw.
    template <class F>
    auto Call(F fn) const
    {
        auto task = std::make_shared<std::packaged_task<decltype(fn())()>>(std::move(fn));
        auto result = task->get_future();
        Post([task] { (*task)(); });
        if (result.wait_for(std::chrono::seconds(20)) != std::future_status::ready)
            throw std::runtime_error("the UI thread does not handle its messages");
        return result.get();
    }
    // Returns once the UI thread has handled what was posted to it, and what that
    // handling posted in turn.
    void Flush() const { Call([] {}); Call([] {}); }
    std::vector<std::wstring> BoxTexts() const { return Call([this] { return boxTexts_; }); }

private:
    void Post(std::function<void()> job) const;
    static LRESULT CALLBACK AnswerBoxes(int code, WPARAM wp, LPARAM lp);
    HWND window_;
    HHOOK hook_;
    std::function<void()> onBox_;
    std::vector<std::wstring> boxTexts_;
};

// Runs dialog modally on this thread while script drives it from a second thread once
// the dialog has its window; ends it afterwards if still open and rethrows what the
// script threw. Returns what DoModal returned.
INT_PTR RunModal(CDialog& dialog, const std::function<void(UiThread&)>& script, std::function<void()> onBox = [] {});

// A drop handle as the shell hands it to a window (wide names, in order); whoever gets
// it in WM_DROPFILES releases it.
HDROP MakeDropHandle(const std::vector<std::wstring>& paths);

inline std::wstring BuiltExePath() { return FolderOf(TestBinFolder()) + L"\\bin\\TQ2ZULSetup.exe"; }

class RunningApp {
public:
    RunningApp();
    ~RunningApp() { Kill(); CloseHandle(info_.hThread); CloseHandle(info_.hProcess); }
    void Kill() const { TerminateProcess(info_.hProcess, 1); WaitForExit(std::chrono::seconds(10)); }
    bool WaitForExit(std::chrono::milliseconds timeout) const
    {
        return WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
    }
    // Answers the start-up warning and returns the setup dialog; null when either never came.
    HWND Start() const;
    // Presses the add button and answers the file dialog with names (a full path, or
    // several quoted); false when no file dialog came or it did not close.
    bool AddThroughFileDialog(HWND setupDialog, const std::wstring& names) const;
    // Waits for a message box, presses its OK and returns its text ("" when none came).
    std::wstring AnswerBox() const;

private:
    // The first visible dialog-class window of the process that wanted picks.
    HWND WaitForDialog(const std::function<bool(HWND)>& wanted) const;
    PROCESS_INFORMATION info_{};
};

inline std::wstring WindowText(HWND hwnd)
{
    wchar_t text[4096] = {};
    GetWindowTextW(hwnd, text, static_cast<int>(std::size(text)));
    return text;
}
// A list view's rows and cells, also of another process.
inline int ListCount(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }
std::wstring ListText(HWND list, int row, int column);
RECT ListCellRect(HWND list, int row, int column);  // of column 0: the whole row's

// Input as the system queues it.
inline POINT Centre(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
inline void PressButton(HWND dialog, int id) { PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
inline void PostKey(HWND hwnd, UINT virtualKey) { PostMessageW(hwnd, WM_KEYDOWN, virtualKey, 1); }
inline void PostChars(HWND hwnd, const std::wstring& text)
{
    for (wchar_t c : text)
        PostMessageW(hwnd, WM_CHAR, c, 1);
}
inline void PostClick(HWND hwnd, POINT client)
{
    PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.x, client.y));
    PostMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(client.x, client.y));
}
