#include "support/MessageBoxCatcher.h"

#include "support/AppDriver.h"

namespace {

thread_local MessageBoxCatcher* t_catcher = nullptr;
// Marks a box already answered: a box is activated again when focus comes back to it.
constexpr wchar_t kAnswered[] = L"TQ2ZULSetup.Answered";

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

LRESULT CALLBACK MessageBoxCatcher::Hook(int code, WPARAM wp, LPARAM lp)
{
    auto box = reinterpret_cast<HWND>(wp);
    if (t_catcher != nullptr && code == HCBT_ACTIVATE && GetDlgItem(box, 0xFFFF) != nullptr &&
        GetPropW(box, kAnswered) == nullptr) {
        SetPropW(box, kAnswered, box);
        if (t_catcher->observer_)
            t_catcher->observer_(box);
        std::lock_guard lock(t_catcher->mutex_);
        t_catcher->texts_.push_back(MessageBoxText(box));
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}
