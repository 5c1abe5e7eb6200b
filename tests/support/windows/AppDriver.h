#pragma once
// Runs the built TQ2ZULSetup.exe as a separate process and drives its windows from the
// outside, the way a user would: find a window, read it, press its buttons.
#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

class RunningApp {
public:
    // Starts exePath (with optional command-line arguments after the program name).
    explicit RunningApp(const std::wstring& exePath, const std::wstring& arguments = L"");
    ~RunningApp();  // terminates the process if it still runs
    RunningApp(const RunningApp&) = delete;
    RunningApp& operator=(const RunningApp&) = delete;

    DWORD ProcessId() const { return info_.dwProcessId; }
    HANDLE Process() const { return info_.hProcess; }
    bool HasExited() const { return WaitForSingleObject(info_.hProcess, 0) == WAIT_OBJECT_0; }
    bool WaitForExit(std::chrono::milliseconds timeout);
    void Kill();

    // The first visible top-level window of the process with the given class whose title
    // contains titlePart (any title when empty), waiting up to timeout; null if none came.
    HWND WaitForWindow(const std::wstring& className, const std::wstring& titlePart = L"",
                       std::chrono::milliseconds timeout = std::chrono::seconds(30)) const;
    // Every visible top-level window of the process with the given class.
    std::vector<HWND> Windows(const std::wstring& className) const;

private:
    PROCESS_INFORMATION info_{};
};

// The setup dialog's caption and the warning shown before it.
inline constexpr wchar_t kSetupCaption[] = L"TOLVAN-QUORAL2 ZUL Setup";
inline constexpr wchar_t kStartWarning[] =
    L"TOLVAN-QUORAL2 가 구동되어 있으면, 정상 설치가 안됩니다. \nTOLVAN-QUORAL2 를 종료해주세요.";

// Waits for the start-up warning, records its text in warningText, presses its OK and
// returns the setup dialog once it shows (null when either never came).
HWND DismissWarningAndFindDialog(const RunningApp& app, std::wstring* warningText = nullptr);
// Presses the add button and answers the file dialog with fileNameText (one full path,
// or several quoted names). Returns whether the file dialog came and was answered.
bool AddThroughFileDialog(const RunningApp& app, HWND setupDialog, const std::wstring& fileNameText);

// The built executable, found relative to the test folder.
std::wstring BuiltExePath();

// The text of a standard message box (its static text control).
std::wstring MessageBoxText(HWND box);
// Presses a dialog's button by id the way a click does, without waiting for its handler.
void PressButton(HWND dialog, int id);
std::wstring WindowText(HWND hwnd);
// List-view queries on another process's list: the LVITEM and text buffers must live
// in that process, so they go through memory allocated there.
int RemoteListItemCount(HWND list);
std::wstring RemoteListItemText(HWND list, int row, int column);
RECT RemoteSubItemRect(HWND list, int row, int column);

// The first child (at any depth) of parent with the given class, or null.
HWND FindChildByClass(HWND parent, const std::wstring& className);
