#include "core/menu/CodePage949.h"

#include <windows.h>

namespace {

constexpr UINT kCodePage949 = 949;

bool IsLeadByte(unsigned char b)
{
    return b >= 0x81 && b <= 0xFE;
}

bool IsTrailByte(unsigned char b)
{
    return (b >= 0x41 && b <= 0x5A) || (b >= 0x61 && b <= 0x7A) || (b >= 0x81 && b <= 0xFE);
}

// Encodes without best-fit mappings and checks that decoding gives the text back, so a
// character the code page lacks can never be written as some look-alike or as '?'.
bool EncodeExactly(const wchar_t* text, size_t count, std::string& bytes)
{
    bytes.clear();
    if (count == 0)
        return true;
    int n = WideCharToMultiByte(kCodePage949, WC_NO_BEST_FIT_CHARS, text, static_cast<int>(count), nullptr, 0,
                                nullptr, nullptr);
    if (n <= 0)
        return false;
    bytes.resize(static_cast<size_t>(n));
    BOOL usedDefault = FALSE;
    n = WideCharToMultiByte(kCodePage949, WC_NO_BEST_FIT_CHARS, text, static_cast<int>(count), bytes.data(), n,
                            nullptr, &usedDefault);
    if (n <= 0 || usedDefault)
        return false;
    bytes.resize(static_cast<size_t>(n));
    return DecodeCp949(bytes) == std::wstring_view(text, count);
}

}  // namespace

std::optional<size_t> EncodeCp949(const std::wstring& text, std::string& bytes)
{
    if (EncodeExactly(text.data(), text.size(), bytes))
        return std::nullopt;
    // Find the culprit one character (or surrogate pair) at a time; only on failure.
    std::string one;
    for (size_t i = 0; i < text.size();) {
        size_t width = IS_HIGH_SURROGATE(text[i]) && i + 1 < text.size() && IS_LOW_SURROGATE(text[i + 1]) ? 2 : 1;
        if (!EncodeExactly(text.data() + i, width, one))
            return i;
        i += width;
    }
    // Each character alone is fine but the whole is not (cannot happen for a stateless
    // code page); refuse rather than write something unchecked.
    return 0;
}

std::wstring DecodeCp949(const char* bytes, size_t count)
{
    // Never more characters than bytes: no sizing pass.
    std::wstring text(count, L'\0');
    size_t filled = 0, start = 0;
    auto decodeUpTo = [&](size_t end) {
        if (end > start) {
            int n = MultiByteToWideChar(kCodePage949, 0, bytes + start, static_cast<int>(end - start),
                                        text.data() + filled, static_cast<int>(count - filled));
            filled += static_cast<size_t>(n > 0 ? n : 0);
        }
    };
    // A stray lead byte becomes a replacement character of its own. Left to the
    // platform it may take whatever byte follows as its trail, a quote or a space
    // included, and so move the boundaries between a menu line's fields.
    for (size_t i = 0; i < count; ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (!IsLeadByte(b))
            continue;
        if (i + 1 < count && IsTrailByte(static_cast<unsigned char>(bytes[i + 1]))) {
            ++i;
            continue;
        }
        decodeUpTo(i);
        text[filled++] = L'\xFFFD';
        start = i + 1;
    }
    decodeUpTo(count);
    text.resize(filled);
    return text;
}

std::wstring DecodeCp949(const std::string& bytes)
{
    return DecodeCp949(bytes.data(), bytes.size());
}

std::optional<size_t> FirstUnstorable(const std::wstring& menuName)
{
    const size_t quote = menuName.find(L'"');
    std::string bytes;
    const std::optional<size_t> missing = EncodeCp949(menuName, bytes);
    if (quote == std::wstring::npos)
        return missing;
    return missing && *missing < quote ? missing : std::optional<size_t>(quote);
}

char32_t CharacterAt(const std::wstring& text, size_t i)
{
    const char32_t unit = text[i];
    if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
        return 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00);
    return unit;
}
