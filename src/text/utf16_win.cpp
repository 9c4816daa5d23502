#include "text/utf16.h"

#include <climits>

#include <windows.h>

namespace tunewell::text
{

std::wstring utf8ToUtf16 (std::string_view text)
{
    // The system calls take 32-bit lengths; a longer text cannot be converted whole.
    if (text.empty() || text.size() > static_cast<std::size_t> (INT_MAX))
        return {};

    auto inputLength = static_cast<int> (text.size());
    auto length = MultiByteToWideChar (CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), inputLength, nullptr, 0);

    if (length <= 0)
        return {};

    std::wstring result (static_cast<std::size_t> (length), L'\0');

    if (MultiByteToWideChar (CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), inputLength, result.data(), length) != length)
        return {};

    return result;
}

std::string utf16ToUtf8 (std::wstring_view text)
{
    if (text.empty() || text.size() > static_cast<std::size_t> (INT_MAX))
        return {};

    auto inputLength = static_cast<int> (text.size());
    auto length = WideCharToMultiByte (CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), inputLength, nullptr, 0, nullptr,
                                       nullptr);

    if (length <= 0)
        return {};

    std::string result (static_cast<std::size_t> (length), '\0');

    if (WideCharToMultiByte (CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), inputLength, result.data(), length, nullptr,
                             nullptr)
        != length)
        return {};

    return result;
}

} // namespace tunewell::text
