#include "support/MessageBoxCatcher.h"

#include <algorithm>
#include <iterator>

namespace {

thread_local MessageBoxCatcher* t_catcher = nullptr;

// The static control that holds a standard message box's text.
constexpr int kMessageTextId = 0xFFFF;

bool IsMessageBox(HWND hwnd)
{
    wchar_t name[32];
    return GetClassNameW(hwnd, name, static_cast<int>(std::size(name))) != 0 && lstrcmpW(name, L"#32770") == 0 &&
           GetDlgItem(hwnd, kMessageTextId) != nullptr;
}

std::wstring TextOf(HWND hwnd)
{
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace

MessageBoxCatcher::MessageBoxCatcher(std::function<void(HWND)> observer) : observer_(std::move(observer))
{
    outer_ = t_catcher;
    t_catcher = this;
    hook_ = SetWindowsHookExW(WH_CBT, Hook, nullptr, GetCurrentThreadId());
}

MessageBoxCatcher::~MessageBoxCatcher()
{
    if (hook_ != nullptr)
        UnhookWindowsHookEx(hook_);
    t_catcher = outer_;
}

std::vector<std::wstring> MessageBoxCatcher::Texts() const
{
    std::lock_guard lock(mutex_);
    return texts_;
}

size_t MessageBoxCatcher::Count() const
{
    std::lock_guard lock(mutex_);
    return texts_.size();
}

LRESULT CALLBACK MessageBoxCatcher::Hook(int code, WPARAM wp, LPARAM lp)
{
    if (t_catcher != nullptr) {
        auto hwnd = reinterpret_cast<HWND>(wp);
        if (code == HCBT_ACTIVATE && IsMessageBox(hwnd)) {
            t_catcher->Catch(hwnd);
        } else if (code == HCBT_DESTROYWND) {
            std::lock_guard lock(t_catcher->mutex_);
            std::erase(t_catcher->answered_, hwnd);
        }
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

void MessageBoxCatcher::Catch(HWND box)
{
    {
        std::lock_guard lock(mutex_);
        // A box is activated again when focus comes back to it; answer it once.
        if (std::ranges::find(answered_, box) != answered_.end())
            return;
        answered_.push_back(box);
    }
    if (observer_)
        observer_(box);
    {
        std::lock_guard lock(mutex_);
        texts_.push_back(TextOf(GetDlgItem(box, kMessageTextId)));
    }
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}
