#include "support/UiThread.h"

#include <shlobj.h>

#include <atomic>
#include <exception>
#include <stdexcept>
#include <thread>

#include "support/TestSupport.h"

namespace {

constexpr UINT kRunJob = WM_APP + 1;
constexpr UINT kFlush = WM_APP + 2;
constexpr wchar_t kClassName[] = L"TQ2ZULSetup.UiThread";

LRESULT CALLBACK HelperProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == kRunJob) {
        (*reinterpret_cast<const std::function<void()>*>(lp))();
        return 0;
    }
    if (msg == kFlush) {
        InterlockedExchange(reinterpret_cast<long*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)), static_cast<long>(wp));
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

UiThread::UiThread()
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = HelperProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kClassName;
    RegisterClassW(&wc);
    window_ = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    if (window_ == nullptr)
        throw std::runtime_error("cannot create the UI thread's helper window");
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&flushed_));
}

UiThread::~UiThread()
{
    DestroyWindow(window_);
}

void UiThread::Run(const std::function<void()>& job)
{
    std::exception_ptr error;
    std::function<void()> guarded = [&] {
        try {
            job();
        } catch (...) {
            error = std::current_exception();
        }
    };
    SendMessageW(window_, kRunJob, 0, reinterpret_cast<LPARAM>(&guarded));
    if (error)
        std::rethrow_exception(error);
}

void UiThread::Flush()
{
    // Twice: messages posted while the first batch was handled come after the first mark.
    for (int round = 0; round < 2; ++round) {
        long mark = ++posted_;
        PostMessageW(window_, kFlush, static_cast<WPARAM>(mark), 0);
        if (!WaitFor([&] { return InterlockedCompareExchange(&flushed_, 0, 0) >= mark; }))
            throw std::runtime_error("the UI thread does not handle its messages");
    }
}

bool UiThread::WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    return WaitFor([&] { return Call(condition); }, timeout);
}

INT_PTR RunModal(CDialog& dialog, const std::function<void(UiThread&)>& script)
{
    UiThread ui;
    std::atomic<bool> done{false};
    std::exception_ptr error;
    std::thread thread([&] {
        try {
            if (!ui.WaitUntil([&] { return dialog.m_hWnd != nullptr && IsWindowVisible(dialog.m_hWnd); }))
                throw std::runtime_error("the dialog did not appear");
            script(ui);
        } catch (...) {
            error = std::current_exception();
        }
        ui.Call([&] {
            if (dialog.m_hWnd != nullptr)
                dialog.EndDialog(IDOK);
        });
        done = true;
        PostMessageW(ui.Window(), WM_NULL, 0, 0);
    });
    INT_PTR result = dialog.DoModal();
    // The script may still call in after the modal loop ended.
    MSG msg;
    while (!done && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    thread.join();
    if (error)
        std::rethrow_exception(error);
    return result;
}

void PostClick(HWND hwnd, POINT client, WPARAM keys)
{
    LPARAM at = MAKELPARAM(client.x, client.y);
    PostMessageW(hwnd, WM_LBUTTONDOWN, keys | MK_LBUTTON, at);
    PostMessageW(hwnd, WM_LBUTTONUP, keys, at);
}

void PostKey(HWND hwnd, UINT virtualKey)
{
    LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC)) << 16;
    PostMessageW(hwnd, WM_KEYDOWN, virtualKey, 1 | scan);
    PostMessageW(hwnd, WM_KEYUP, virtualKey, 1 | scan | (1LL << 30) | (1LL << 31));
}

void PostChars(HWND hwnd, const std::wstring& text)
{
    for (wchar_t c : text)
        PostMessageW(hwnd, WM_CHAR, c, 1);
}

void SetKeyDown(UINT virtualKey, bool down)
{
    BYTE state[256];
    GetKeyboardState(state);
    state[virtualKey] = down ? 0x80 : 0;
    SetKeyboardState(state);
}

HDROP MakeDropHandle(const std::vector<std::wstring>& paths)
{
    std::wstring names;
    for (const auto& path : paths) {
        names.append(path);
        names.push_back(L'\0');
    }
    names.push_back(L'\0');
    HGLOBAL drop = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
    auto* header = static_cast<DROPFILES*>(GlobalLock(drop));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    memcpy(header + 1, names.data(), names.size() * sizeof(wchar_t));
    GlobalUnlock(drop);
    return static_cast<HDROP>(drop);
}
