#include "json/json_parse.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <system_error>
#include <vector>

#include "text/hex_digits.h"
#include "text/utf8_sequences.h"

namespace tunewell::json
{

namespace
{
bool isWhitespace (char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool isDigit (char c)
{
    return c >= '0' && c <= '9';
}

bool endsNumber (char c)
{
    return c == 0 || isWhitespace (c) || c == ',' || c == '}' || c == ']';
}

/// ASCII string bytes that stay as they are, control characters included.
bool isPlainStringByte (char c)
{
    auto byte = static_cast<unsigned char> (c);
    return byte != 0 && byte < 0x80 && c != '"' && c != '\\';
}

/// What strtod answers for digits beyond the range of a double, which
/// from_chars leaves to its caller: infinity for a huge value, zero for a tiny
/// one. Only the decimal magnitude matters: the place of the point relative
/// to the first significant digit, plus the exponent.
double outOfRangeValue (std::string_view digits)
{
    auto exponentStart = std::min (digits.find_first_of ("eE"), digits.size());
    auto mantissa = digits.substr (0, exponentStart);
    auto pointPosition = std::min (mantissa.find ('.'), mantissa.size());
    auto firstSignificant = std::min (mantissa.find_first_not_of ("0."), mantissa.size());
    auto magnitude = static_cast<int64_t> (pointPosition) - static_cast<int64_t> (firstSignificant);

    if (exponentStart < digits.size())
    {
        auto exponentText = digits.substr (exponentStart + 1);
        bool isNegative = ! exponentText.empty() && exponentText.front() == '-';

        if (! exponentText.empty() && (exponentText.front() == '+' || isNegative))
            exponentText.remove_prefix (1);

        int64_t exponent = 0;
        auto result = std::from_chars (exponentText.data(), exponentText.data() + exponentText.size(), exponent);

        // Any exponent this large gives zero or infinity alike; capping it
        // keeps the sum with the magnitude from overflowing.
        if (result.ec == std::errc::result_out_of_range || exponent > std::numeric_limits<int32_t>::max())
            exponent = std::numeric_limits<int32_t>::max();

        magnitude += isNegative ? -exponent : exponent;
    }

    return magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
}

/// Builds the whole value in one byte buffer and one dictionary. Every
/// value's data ends where the next one's starts, so a container's data is
/// simply what its elements appended; only the types nest. The result is the
/// same Value as assembling each container on its own and appending it to
/// its parent, without copying and re-interning at every level.
class Parser
{
public:
    explicit Parser (const char* text) : source (text), current (text), end (text + std::strlen (text))
    {
        // Text-heavy documents pack into less than a quarter of their text;
        // starting there spares the early rounds of regrowth.
        data.reserve (static_cast<std::size_t> (end - text) / 4);
    }

    value::Value parseTopLevel (bool parseBareValue)
    {
        if (parseBareValue)
            return makeResult (parseValue());

        skipWhitespace();

        switch (*current)
        {
            case '[':
                ++current;
                return makeResult (parseArray());
            case '{':
                ++current;
                return makeResult (parseObject());
            case 0:
                return {};
            default:
                throwError ("Expected an object or array");
        }
    }

private:
    using Type = value::Type;
    using TypeCode = value::TypeCode;

    const char* source;
    const char* current;
    /// The terminating zero: word-wide scans stop short of it.
    const char* end;
    int nestingDepth = 0;
    std::vector<uint8_t> data;
    value::SimpleStringDictionary dictionary;
    std::string stringValue;

    /// The data and the dictionary were built for exactly this type, each
    /// handle in the data being the one its text has in the dictionary, so
    /// the result takes both over as they are.
    value::Value makeResult (Type type)
    {
        return value::Value (std::move (type), std::move (data), std::move (dictionary));
    }

    template <typename Scalar>
    Type appendScalar (TypeCode code, Scalar scalar)
    {
        auto* bytes = reinterpret_cast<const uint8_t*> (&scalar);
        data.insert (data.end(), bytes, bytes + sizeof (Scalar));
        return Type (code);
    }

    [[noreturn]] void throwError (const char* message) { throwError (message, current); }

    [[noreturn]] void throwError (const char* message, const char* position)
    {
        throw ParseError (message, text::findLineAndColumn (text::UTF8Pointer (source), text::UTF8Pointer (position)));
    }

    void skipWhitespace()
    {
        while (isWhitespace (*current))
            ++current;
    }

    bool skipWord (const char* word)
    {
        auto* next = current;

        for (; *word != 0; ++word, ++next)
            if (*next != *word)
                return false;

        current = next;
        return true;
    }

    /// Appends the value's data and returns its type.
    Type parseValue()
    {
        skipWhitespace();
        auto* start = current;

        switch (*current)
        {
            case '"':
                ++current;
                return parseStringValue();
            case '-':
                ++current;
                skipWhitespace();
                return parseNumber (true);
            case '[':
                ++current;
                return parseArray();
            case '{':
                ++current;
                return parseObject();
            case 'n':
                if (skipWord ("null"))
                    return Type();
                break;
            case 't':
                if (skipWord ("true"))
                    return appendScalar (TypeCode::boolean, uint32_t (1));
                break;
            case 'f':
                if (skipWord ("false"))
                    return appendScalar (TypeCode::boolean, uint32_t (0));
                break;
            default:
                if (isDigit (*current))
                    return parseNumber (false);
                break;
        }

        throwError ("Syntax error", start);
    }

    Type parseStringValue()
    {
        parseString (stringValue);
        std::string_view text (stringValue);

        // Appending a container to its parent re-interns its strings as read
        // back from its dictionary, which ends each at its first zero byte
        // (an escaped \u0000); a string inside a container is therefore
        // kept up to that byte, and only a bare string keeps all of it.
        if (nestingDepth > 0)
            text = text.substr (0, std::min (text.find ('\0'), text.size()));

        return appendScalar (TypeCode::string, dictionary.getHandleForString (text).handle);
    }

    /// Called just behind the opening bracket or brace.
    void enterContainer()
    {
        if (++nestingDepth > maximumNestingDepth)
            throwError ("Nesting too deep", current - 1);
    }

    Type parseArray()
    {
        enterContainer();
        auto array = Type::createEmptyArray();
        auto* start = current;
        skipWhitespace();

        if (*current == ']')
        {
            ++current;
            --nestingDepth;
            return array;
        }

        for (;;)
        {
            skipWhitespace();

            if (*current == 0)
                throwError ("Unexpected EOF in array declaration", start);

            array.addArrayElements (parseValue(), 1);
            skipWhitespace();

            if (*current == ',')
            {
                ++current;
                continue;
            }

            if (*current == ']')
            {
                ++current;
                --nestingDepth;
                return array;
            }

            throwError ("Expected ',' or ']'");
        }
    }

    Type parseObject()
    {
        enterContainer();
        auto object = Type::createObject ({});
        auto* start = current;
        std::string name;
        skipWhitespace();

        if (*current == '}')
        {
            ++current;
            --nestingDepth;
            return object;
        }

        for (;;)
        {
            skipWhitespace();

            if (*current == 0)
                throwError ("Unexpected EOF in object declaration", start);

            if (*current != '"')
                throwError ("Expected a name");

            auto* nameStart = ++current;
            parseString (name);

            if (name.empty())
                throwError ("Property names cannot be empty", nameStart);

            skipWhitespace();

            if (*current != ':')
                throwError ("Expected ':'");

            ++current;
            object.addObjectMember (name, parseValue());
            skipWhitespace();

            if (*current == ',')
            {
                ++current;
                continue;
            }

            if (*current == '}')
            {
                ++current;
                --nestingDepth;
                return object;
            }

            throwError ("Expected ',' or '}'");
        }
    }

    /// Called just behind the opening double quote; the text replaces what
    /// result held, so that its storage serves string after string. Bytes
    /// that are kept as they are, characters already in their shortest
    /// UTF-8 form included, are appended in runs rather than one by one.
    void parseString (std::string& result)
    {
        result.clear();
        auto* runStart = current;

        for (;;)
        {
            skipPlainStringWords();

            while (isPlainStringByte (*current))
                ++current;

            if (static_cast<unsigned char> (*current) >= 0x80)
            {
                auto decoded = text::decodeUTF8 (current, static_cast<std::size_t> (end - current));

                // A character in its shortest form is kept as it is, as
                // part of the run; an overlong one is written again in that form.
                if (text::isOverlong (decoded))
                {
                    result.append (runStart, static_cast<std::size_t> (current - runStart));
                    text::appendUTF8 (result, decoded.codePoint);
                    runStart = current + decoded.length;
                }

                current += decoded.length;
                continue;
            }

            result.append (runStart, static_cast<std::size_t> (current - runStart));

            switch (*current)
            {
                case '"':
                    ++current;
                    return;
                case '\\':
                    ++current;
                    appendEscapedCharacter (result);
                    break;
                default:
                    throwError ("Unexpected EOF in string constant");
            }

            runStart = current;
        }
    }

    /// Skips whole 8-byte words of plain string bytes, as long as a whole
    /// word lies before the terminating zero.
    void skipPlainStringWords()
    {
        current = text::skipPlainWords (current, end, [] (text::EightBytes bytes) {
            return ! (bytes.hasByteAbove (0x7F) || bytes.hasByte (0) || bytes.hasByte ('"') || bytes.hasByte ('\\'));
        });
    }

    void appendEscapedCharacter (std::string& result)
    {
        auto escaped = *current;

        switch (escaped)
        {
            case 0:
                throwError ("Unexpected EOF in string constant");
            case 'a':
                result.push_back ('\a');
                break;
            case 'b':
                result.push_back ('\b');
                break;
            case 'f':
                result.push_back ('\f');
                break;
            case 'n':
                result.push_back ('\n');
                break;
            case 'r':
                result.push_back ('\r');
                break;
            case 't':
                result.push_back ('\t');
                break;
            case 'u':
                ++current;
                text::appendUTF8 (result, parseUnicodeCharacterNumber());
                return;
            default:
                // Any other character stands for itself; one that is not
                // ASCII is copied by the caller's next step.
                if (static_cast<unsigned char> (escaped) >= 0x80)
                    return;

                result.push_back (escaped);
                break;
        }

        ++current;
    }

    uint32_t parseUnicodeCharacterNumber()
    {
        uint32_t number = 0;

        for (int i = 0; i < 4; ++i)
        {
            auto digit = text::hexDigitValue (*current);

            if (digit < 0)
                throwError ("Syntax error in unicode character");

            number = (number << 4) | static_cast<uint32_t> (digit);
            ++current;
        }

        if (number < 0xD800 || number > 0xDBFF)
            return number;

        // A high surrogate that no low-surrogate escape follows stands for
        // itself, as a lone low one does: the writer escapes an encoded lone
        // surrogate this way, and its own output must read back.
        auto low = lowSurrogateEscapeAt (current);

        if (low == 0)
            return number;

        current += 6;
        return number * 1024 + low - 0x35FDC00;
    }

    /// The low surrogate of the escape at text, or 0 when there is none;
    /// stops at the first byte that does not fit, so never reads past the end.
    static uint32_t lowSurrogateEscapeAt (const char* text)
    {
        if (text[0] != '\\' || text[1] != 'u')
            return 0;

        uint32_t number = 0;

        for (int i = 2; i < 6; ++i)
        {
            auto digit = text::hexDigitValue (text[i]);

            if (digit < 0)
                return 0;

            number = (number << 4) | static_cast<uint32_t> (digit);
        }

        return number >= 0xDC00 && number <= 0xDFFF ? number : 0;
    }

    /// A minus sign and the whitespace after it are already consumed.
    Type parseNumber (bool negate)
    {
        auto* start = current;
        bool hadDot = false, hadExponent = false;

        for (;;)
        {
            auto c = *current;

            if (isDigit (c))
            {
                ++current;
            }
            else if (c == '.' && ! hadDot)
            {
                hadDot = true;
                ++current;
            }
            else if ((c == 'e' || c == 'E') && ! hadExponent)
            {
                ++current;

                // Browsers write large numbers as 1e+21, so a plus sign is
                // taken like a minus sign.
                if (*current == '-' || *current == '+')
                    ++current;

                hadDot = hadExponent = true;
            }
            else
            {
                break;
            }
        }

        auto* end = current;

        if (endsNumber (*end) && end != start)
        {
            if (! hadDot)
            {
                int64_t integer = 0;
                auto result = std::from_chars (start, end, integer);

                // Like strtoll, whose saturated limits mark an overflow, this
                // leaves the largest magnitudes to the floating-point path.
                if (result.ec == std::errc() && result.ptr == end && integer != std::numeric_limits<int64_t>::max())
                    return appendScalar (TypeCode::int64, negate ? -integer : integer);
            }

            double number = 0;
            auto result = std::from_chars (start, end, number);

            if (result.ptr == end)
            {
                if (result.ec == std::errc::result_out_of_range)
                    number = outOfRangeValue (std::string_view (start, static_cast<std::size_t> (end - start)));

                return appendScalar (TypeCode::float64, negate ? -number : number);
            }
        }

        throwError ("Syntax error in number", end);
    }
};
} // namespace

value::Value parse (const char* text, std::size_t length, bool parseBareValue)
{
    if (text == nullptr)
        text = "";
    else if (auto* illegal = text::findIllegalUTF8 (text, length))
        throw ParseError ("Illegal UTF8 data",
                          text::findLineAndColumn (text::UTF8Pointer (text), text::UTF8Pointer (illegal)));

    return parse (text::UTF8Pointer (text), parseBareValue);
}

value::Value parse (text::UTF8Pointer text, bool parseBareValue)
{
    return Parser (text.text != nullptr ? text.text : "").parseTopLevel (parseBareValue);
}

} // namespace tunewell::json
