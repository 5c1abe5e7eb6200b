// The one platform function the menu line format uses, for the native build: letter
// case ignored as simple one-to-one folding, which is what the format's keywords
// ("Inter", "Cam") need.
#include <cwctype>
#include <string>

bool EqualsNoCase(const std::wstring& a, const std::wstring& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::towupper(static_cast<wint_t>(a[i])) != std::towupper(static_cast<wint_t>(b[i])))
            return false;
    return true;
}
