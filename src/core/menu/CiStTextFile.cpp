#include "core/menu/CiStTextFile.h"

#include <windows.h>

#include <algorithm>
#include <clocale>
#include <cstring>

#include "core/menu/CodePage949.h"
#include "platform/FileReplace.h"
#include "platform/LongPath.h"
#include "platform/Paths.h"
#include "platform/TempFile.h"

namespace {

constexpr char kLineEnd[] = "\r\n";

HANDLE AsHandle(void* file)
{
    return static_cast<HANDLE>(file);
}

// From the first access to the menu file on, the process runs in the Korean locale.
// The conversions here name code page 949 themselves, so the file's encoding holds
// whatever the system's ANSI code page is.
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
    RemoveToolTempFiles(FolderOf(fullPath_));
    forRewrite_ = true;
    return true;
}

const CStringArray& CiStTextFile::GetLines() const
{
    for (int i = lines_.GetSize(); i < static_cast<int>(spans_.size()); ++i) {
        std::string_view raw = GetRawLine(i);
        lines_.Add(DecodeCp949(raw.data(), raw.size()));
    }
    return lines_;
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
    openError_ = 0;
    fullPath_ = FullPathOf(path);
    if (fullPath_.empty())
        return false;
    DWORD access = forRewrite ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ;
    HANDLE file = CreateFileW(LongPathForm(fullPath_).c_str(), access, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        openError_ = GetLastError();
        absent_ = forRewrite && openError_ == ERROR_FILE_NOT_FOUND;
        if (absent_)
            openError_ = 0;
        return absent_;
    }
    file_ = file;
    // Windows refuses write access to a read-only file; refuse it here too where the
    // open alone does not (Wine running as root, for one), before the caller has done
    // anything it could not take back.
    BY_HANDLE_FILE_INFORMATION info{};
    if (forRewrite && (!GetFileInformationByHandle(file, &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY))) {
        openError_ = ERROR_ACCESS_DENIED;
        Close();
        return false;
    }
    return true;
}

bool CiStTextFile::ReadAll()
{
    // Read straight into place, in as few calls as the size allows.
    LARGE_INTEGER size{};
    GetFileSizeEx(AsHandle(file_), &size);
    std::string bytes(static_cast<size_t>(size.QuadPart > 0 ? size.QuadPart : 0) + 1, '\0');
    size_t filled = 0;
    for (;;) {
        if (filled == bytes.size())
            bytes.resize(bytes.size() * 2);
        DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - filled, 1u << 30));
        DWORD got = 0;
        if (!ReadFile(AsHandle(file_), bytes.data() + filled, want, &got, nullptr)) {
            Close();
            return false;
        }
        if (got == 0)
            break;
        filled += got;
    }
    bytes.resize(filled);

    // Reading appends: lines of an earlier read stay, so offsets continue after them.
    const size_t base = content_.size();
    if (base == 0)
        content_ = std::move(bytes);
    else
        content_ += bytes;
    const char* data = content_.data();
    spans_.reserve(spans_.size() + std::count(content_.begin() + base, content_.end(), '\n') + 1);
    size_t start = base;
    while (start < content_.size()) {
        const void* found = std::memchr(data + start, '\n', content_.size() - start);
        size_t end = found ? static_cast<size_t>(static_cast<const char*>(found) - data) : content_.size();
        size_t length = end - start;
        if (found && length > 0 && data[end - 1] == '\r')
            --length;  // CR LF ends the line; a CR anywhere else is text
        else
            crLfThroughout_ = false;
        spans_.emplace_back(start, length);
        start = end + 1;
    }
    return true;
}

RewriteResult CiStTextFile::WriteRewrite(const std::vector<std::wstring>& newEntries,
                                         const std::map<int, std::optional<std::string>>& lineEdits)
{
    RewriteResult result;
    if (!forRewrite_)
        return result;

    std::string added;
    for (size_t i = 0; i < newEntries.size(); ++i) {
        std::string encoded;
        if (auto bad = EncodeCp949(newEntries[i], encoded)) {
            result.badEntry = static_cast<int>(i);
            result.badIndex = *bad;
            return result;
        }
        added += encoded;
        added += kLineEnd;
    }

    // Where every line read already ends with CR LF and none changes, the old bytes go
    // out as they are; otherwise each line gets its CR LF in a new copy.
    const bool asRead = crLfThroughout_ && lineEdits.empty();
    std::string mended;
    if (!asRead) {
        mended.reserve(content_.size() + 2 * spans_.size());
        for (size_t i = 0; i < spans_.size(); ++i) {
            const auto edit = lineEdits.find(static_cast<int>(i));
            if (edit == lineEdits.end())
                mended.append(content_, spans_[i].first, spans_[i].second);
            else if (edit->second)
                mended += *edit->second;
            else
                continue;
            mended += kLineEnd;
        }
    }
    const std::string& old = asRead ? content_ : mended;

    // The file stays held while the new content is written beside it, and is let go
    // only for the swap itself, which needs to open it.
    std::wstring temp = WriteTempBeside(fullPath_, {old, added});
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
