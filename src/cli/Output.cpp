#include "cli/Output.h"

#include <windows.h>

#include "platform/FileBytes.h"

namespace {

void Write(DWORD which, const std::wstring& text)
{
    HANDLE handle = GetStdHandle(which);
    DWORD mode = 0, written = 0;
    if (GetFileType(handle) == FILE_TYPE_CHAR && GetConsoleMode(handle, &mode)) {
        WriteConsoleW(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    const std::string bytes = ToUtf8(text);
    WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

}  // namespace

std::string Json(const std::wstring& text)
{
    return ToUtf8(text);
}

Output::Output(bool json, bool quiet, std::wstring logPath) : json_(json), quiet_(quiet), logPath_(std::move(logPath)) {}

void Output::Line(const std::wstring& text) const
{
    if (!json_ && !quiet_)
        Write(STD_OUTPUT_HANDLE, text + L"\r\n");
}

void Output::Error(const std::wstring& text)
{
    document_["messages"].push_back(Json(text));
    if (!json_)
        Write(STD_ERROR_HANDLE, text + L"\r\n");
}

void Output::Wrote(const std::wstring& command, const std::wstring& path, const std::wstring& what) const
{
    if (logPath_.empty())
        return;
    SYSTEMTIME t;
    GetLocalTime(&t);
    char stamp[32];
    snprintf(stamp, sizeof stamp, "%04u-%02u-%02u %02u:%02u:%02u ", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
    const std::string record = stamp + ToUtf8(command + L" " + what + L" " + path) + "\r\n";
    HANDLE log = CreateFileW(logPath_.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(log, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
    CloseHandle(log);
}

int Output::Finish(int code)
{
    if (json_) {
        document_["exitCode"] = code;
        Write(STD_OUTPUT_HANDLE, FromUtf8(document_.dump(2)) + L"\r\n");
    }
    return code;
}
