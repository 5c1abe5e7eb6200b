#pragma once
// Drives windows that live on the test's main thread from a script on a second thread,
// while the main thread runs a real modal loop. The script posts input (which then
// passes through the loop's own filtering) and runs short functions on the main thread
// to read state or set it.
#include <windows.h>
#include <shellapi.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "framework/Dialog.h"

class UiThread {
public:
    // Made on the thread whose windows the script drives.
    UiThread();
    ~UiThread();
    UiThread(const UiThread&) = delete;
    UiThread& operator=(const UiThread&) = delete;

    // Runs fn on the UI thread, waits for it and returns its result; an exception it
    // throws is thrown here.
    template <class F>
    auto Call(F&& fn) -> std::invoke_result_t<F&>
    {
        using R = std::invoke_result_t<F&>;
        if constexpr (std::is_void_v<R>) {
            Run([&] { fn(); });
        } else {
            std::optional<R> result;
            Run([&] { result.emplace(fn()); });
            return std::move(*result);
        }
    }
    // Waits until the UI thread has handled every message posted to it before the call,
    // and those that handling posted in turn.
    void Flush();
    // Waits until condition, evaluated on the UI thread, holds; false on timeout.
    bool WaitUntil(const std::function<bool()>& condition,
                   std::chrono::milliseconds timeout = std::chrono::seconds(20));

    HWND Window() const { return window_; }

private:
    void Run(const std::function<void()>& job);

    HWND window_ = nullptr;
    long flushed_ = 0;
    long posted_ = 0;
};

// Runs dialog modally on this thread while script drives it from a second thread once
// the dialog shows; closes the dialog afterwards if still open, then rethrows the
// script's exception, if any. Returns what DoModal returned.
INT_PTR RunModal(CDialog& dialog, const std::function<void(UiThread&)>& script);

// Input posted to a window, as the system would queue it.
void PostClick(HWND hwnd, POINT client, WPARAM keys = 0);
void PostKey(HWND hwnd, UINT virtualKey);
void PostChars(HWND hwnd, const std::wstring& text);
// A drop handle as the shell gives a window that files were dropped on (wide names,
// in order); whoever receives it in WM_DROPFILES releases it.
HDROP MakeDropHandle(const std::vector<std::wstring>& paths);
// Presses or releases Shift or Control in the calling thread's keyboard state.
void SetKeyDown(UINT virtualKey, bool down);
