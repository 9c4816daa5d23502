#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

namespace tunewell::standin
{

/// Copies as much of text as fits, always terminated, and returns its full
/// length, so that callers can size a buffer with a first call.
inline size_t copyText (const std::wstring& text, wchar_t* buffer, size_t capacity)
{
    if (buffer != nullptr && capacity > 0)
    {
        auto copied = std::min (text.size(), capacity - 1);
        std::copy_n (text.data(), copied, buffer);
        buffer[copied] = 0;
    }
    return text.size();
}

inline size_t copyBytes (const std::vector<unsigned char>& bytes, unsigned char* buffer, size_t capacity)
{
    if (buffer != nullptr)
        std::copy_n (bytes.data(), std::min (bytes.size(), capacity), buffer);

    return bytes.size();
}

inline std::wstring textOrEmpty (const wchar_t* text)
{
    return text != nullptr ? std::wstring (text) : std::wstring();
}

} // namespace tunewell::standin
