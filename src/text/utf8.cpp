#include "text/utf8.h"

namespace tunewell::text
{

uint32_t UTF8Pointer::popFirstChar() noexcept
{
    if (text == nullptr)
        return 0;

    auto decoded = decodeUTF8 (text);
    text += decoded.length;
    return decoded.codePoint;
}

uint32_t UTF8Pointer::operator*() const noexcept
{
    return text != nullptr ? decodeUTF8 (text).codePoint : 0;
}

UTF8Pointer& UTF8Pointer::operator++() noexcept
{
    popFirstChar();
    return *this;
}

UTF8Pointer UTF8Pointer::operator++ (int) noexcept
{
    auto previous = *this;
    popFirstChar();
    return previous;
}

bool UTF8Pointer::isAtEnd() const noexcept
{
    return text == nullptr || *text == 0;
}

bool UTF8Pointer::skipPrefix (std::string_view literal) noexcept
{
    if (text == nullptr)
        return literal.empty();

    // Compares byte by byte so that a shorter text stops at its terminator.
    for (std::size_t i = 0; i < literal.size(); ++i)
        if (text[i] != literal[i] || text[i] == 0)
            return false;

    text += literal.size();
    return true;
}

LineAndColumn findLineAndColumn (UTF8Pointer start, UTF8Pointer position) noexcept
{
    if (start.text == nullptr || position.text == nullptr)
        return {};

    LineAndColumn result { 1, 1 };

    while (start.text < position.text && ! start.isAtEnd())
    {
        ++result.column;

        if (start.popFirstChar() == '\n')
        {
            ++result.line;
            result.column = 1;
        }
    }

    return result;
}

} // namespace tunewell::text
