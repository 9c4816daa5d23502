#include "json_string.h"

namespace tunewell::standin
{

std::wstring jsonStringLiteral (const std::wstring& text)
{
    static const wchar_t hexDigits[] = L"0123456789abcdef";
    std::wstring literal = L"\"";

    for (auto c : text)
    {
        switch (c)
        {
            case L'"':
                literal += L"\\\"";
                break;
            case L'\\':
                literal += L"\\\\";
                break;
            case L'\b':
                literal += L"\\b";
                break;
            case L'\f':
                literal += L"\\f";
                break;
            case L'\n':
                literal += L"\\n";
                break;
            case L'\r':
                literal += L"\\r";
                break;
            case L'\t':
                literal += L"\\t";
                break;
            default:
                if (c < 0x20)
                {
                    literal += L"\\u00";
                    literal += hexDigits[(c >> 4) & 0xf];
                    literal += hexDigits[c & 0xf];
                }
                else
                {
                    literal += c;
                }
        }
    }

    return literal + L"\"";
}

} // namespace tunewell::standin
