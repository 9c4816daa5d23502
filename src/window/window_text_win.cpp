#include "window/window_text_win.h"

#include <climits>

#include <windows.h>

namespace tunewell::ui
{

std::wstring windowText (const std::string& utf8)
{
    if (utf8.empty() || utf8.size() > INT_MAX)
        return {};

    const int sourceLength = static_cast<int> (utf8.size());
    const int length = MultiByteToWideChar (CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), sourceLength, nullptr, 0);
    if (length <= 0)
        return {};

    std::wstring text (static_cast<size_t> (length), L'\0');
    MultiByteToWideChar (CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), sourceLength, text.data(), length);
    return text;
}

} // namespace tunewell::ui
