#include "menu/CiStTextFile.h"

#include <windows.h>

#include <clocale>
#include <cstring>

#include "app/FolderLookup.h"
#include "menu/CodePage949.h"
#include "platform/FileReplace.h"
#include "platform/TempFile.h"

namespace {

constexpr char kLineEnd[] = "\r\n";

HANDLE AsHandle(void* file)
{
    return static_cast<HANDLE>(file);
}

std::wstring FullPathOf(const std::wstring& path)
{
    DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (n == 0)
        return {};
    std::wstring full(n, L'\0');
    n = GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
    if (n == 0 || n >= full.size())
        return {};
    full.resize(n);
    return full;
}

// The menu file is code page 949 whatever the system's ANSI code page is; the locale
// stays for the rest of the process, as the host expects of tools that touch it.
void UseKoreanLocale()
{
    setlocale(LC_ALL, "korean");
}

}  // namespace

bool CiStTextFile::ReadLines(const std::wstring& path)
{
    UseKoreanLocale();
    return Open(path, false) && ReadAll();
}

bool CiStTextFile::ReadLinesForRewrite(const std::wstring& path)
{
    UseKoreanLocale();
    if (!Open(path, true))
        return false;
    if (!absent_ && !ReadAll())
        return false;
    // Leftovers of a rewrite that was cut short (power loss, killed process).
    RemoveToolTempFiles(FolderOfPath(fullPath_));
    forRewrite_ = true;
    return true;
}

std::string_view CiStTextFile::GetRawLine(int i) const
{
    const auto& [offset, length] = spans_.at(static_cast<size_t>(i));
    return std::string_view(content_).substr(offset, length);
}

bool CiStTextFile::Open(const std::wstring& path, bool forRewrite)
{
    Close();
    absent_ = false;
    forRewrite_ = false;
    fullPath_ = path.empty() ? std::wstring() : FullPathOf(path);
    if (fullPath_.empty())
        return false;
    DWORD access = forRewrite ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ;
    HANDLE file = CreateFileW(fullPath_.c_str(), access, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        absent_ = forRewrite && GetLastError() == ERROR_FILE_NOT_FOUND;
        return absent_;
    }
    file_ = file;
    // Windows refuses write access to a read-only file; say so here as well where the
    // open alone would not (an administrator under some file systems), before the
    // caller has done anything it could not take back.
    BY_HANDLE_FILE_INFORMATION info{};
    if (forRewrite && (!GetFileInformationByHandle(file, &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY))) {
        Close();
        return false;
    }
    return true;
}

bool CiStTextFile::ReadAll()
{
    std::string bytes;
    char buffer[64 * 1024];
    LARGE_INTEGER size{};
    if (GetFileSizeEx(AsHandle(file_), &size) && size.QuadPart > 0)
        bytes.reserve(static_cast<size_t>(size.QuadPart));
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(AsHandle(file_), buffer, static_cast<DWORD>(std::size(buffer)), &got, nullptr)) {
            Close();
            return false;
        }
        if (got == 0)
            break;
        bytes.append(buffer, got);
    }

    // Reading appends: lines of an earlier read stay, so offsets continue after them.
    const size_t base = content_.size();
    content_ += bytes;
    size_t start = 0;
    while (start < bytes.size()) {
        const void* found = std::memchr(bytes.data() + start, '\n', bytes.size() - start);
        size_t end = found ? static_cast<size_t>(static_cast<const char*>(found) - bytes.data()) : bytes.size();
        size_t length = end - start;
        if (found && length > 0 && bytes[end - 1] == '\r')
            --length;  // CR LF ends the line; a CR anywhere else is text
        spans_.emplace_back(base + start, length);
        lines_.Add(DecodeCp949(bytes.data() + start, length));
        start = end + 1;
    }
    return true;
}

RewriteResult CiStTextFile::WriteRewrite(const std::vector<std::wstring>& newEntries)
{
    RewriteResult result;
    if (!forRewrite_)
        return result;

    std::vector<std::string> encoded(newEntries.size());
    size_t total = content_.size() + 2 * spans_.size();
    for (size_t i = 0; i < newEntries.size(); ++i) {
        if (auto bad = EncodeCp949(newEntries[i], encoded[i])) {
            result.badEntry = static_cast<int>(i);
            result.badIndex = *bad;
            return result;
        }
        total += encoded[i].size() + 2;
    }

    std::string bytes;
    bytes.reserve(total);
    for (const auto& [offset, length] : spans_) {
        bytes.append(content_, offset, length);
        bytes += kLineEnd;
    }
    for (const std::string& entry : encoded) {
        bytes += entry;
        bytes += kLineEnd;
    }

    // The file stays held while the new content is written beside it, and is let go
    // only for the swap itself, which needs to open it.
    std::wstring temp = WriteTempBeside(fullPath_, bytes);
    const bool existed = !absent_;
    Close();
    result.ok = !temp.empty() && SwapInTemp(temp, fullPath_, existed);
    return result;
}

void CiStTextFile::Close()
{
    if (file_) {
        CloseHandle(AsHandle(file_));
        file_ = nullptr;
    }
    forRewrite_ = false;
}
