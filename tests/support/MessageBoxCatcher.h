#pragma once
// Catches the message boxes shown on the thread that made the catcher: records each
// box's text and presses its OK button. Texts can be read from any thread.
#include <windows.h>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

class MessageBoxCatcher {
public:
    // observer, when given, runs on the box's thread as each box appears, before OK.
    explicit MessageBoxCatcher(std::function<void(HWND box)> observer = {});
    ~MessageBoxCatcher();
    MessageBoxCatcher(const MessageBoxCatcher&) = delete;
    MessageBoxCatcher& operator=(const MessageBoxCatcher&) = delete;

    std::vector<std::wstring> Texts() const;

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wp, LPARAM lp);

    HHOOK hook_ = nullptr;
    MessageBoxCatcher* outer_ = nullptr;
    std::function<void(HWND)> observer_;
    mutable std::mutex mutex_;
    std::vector<std::wstring> texts_;
};
