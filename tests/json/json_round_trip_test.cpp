#include <gtest/gtest.h>

#include <charconv>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "json/json_parse.h"
#include "json/json_writer.h"
#include "json/string_appender.h"
#include "strict_utf8.h"

using namespace tunewell;

// Random documents are built twice: as a plain tree that serves as the
// reference, and as JSON text written by the test's own simple printer in
// varied spellings. Parsing the text must give the tree; writing the parsed
// value in either form and parsing that again must give the tree once more.

namespace
{
struct Node
{
    enum class Kind
    {
        null,
        boolean,
        integer,
        real,
        string,
        array,
        object
    };

    Kind kind = Kind::null;
    bool flag = false;
    int64_t integer = 0;
    double real = 0;
    std::string text;
    std::vector<std::pair<std::string, Node>> items; // names are empty in arrays
};

class DocumentMaker
{
public:
    explicit DocumentMaker (uint32_t seed) : random (seed) {}

    /// A container at the top, since the bridge parses only those.
    Node makeDocument() { return makeContainer (0, chance (2)); }

    std::string print (const Node& node)
    {
        std::string out;
        printNode (out, node);
        return out;
    }

private:
    std::mt19937 random;

    uint32_t below (uint32_t n) { return std::uniform_int_distribution<uint32_t> (0, n - 1) (random); }
    bool chance (uint32_t n) { return below (n) == 0; }

    Node makeContainer (int depth, bool isObject)
    {
        Node node;
        node.kind = isObject ? Node::Kind::object : Node::Kind::array;
        auto count = below (6);

        for (uint32_t i = 0; i < count; ++i)
        {
            std::string name;

            if (isObject)
                name = makeText() + "#" + std::to_string (i); // unique and never empty

            node.items.emplace_back (name, makeNode (depth + 1));
        }

        return node;
    }

    Node makeNode (int depth)
    {
        Node node;

        switch (below (depth < 4 ? 8 : 6))
        {
            case 0:
                break;
            case 1:
                node.kind = Node::Kind::boolean;
                node.flag = chance (2);
                break;
            case 2:
                node.kind = Node::Kind::integer;
                node.integer = makeInteger();
                break;
            case 3:
                node.kind = Node::Kind::real;
                node.real = makeReal();
                break;
            case 4:
            case 5:
                node.kind = Node::Kind::string;
                node.text = makeText();
                break;
            default:
                return makeContainer (depth, chance (2));
        }

        return node;
    }

    int64_t makeInteger()
    {
        auto bits = std::uniform_int_distribution<int64_t> (std::numeric_limits<int64_t>::min() + 1,
                                                            std::numeric_limits<int64_t>::max() - 1) (random);
        return chance (2) ? bits >> below (63) : bits;
    }

    double makeReal()
    {
        for (;;)
        {
            uint64_t bits = (static_cast<uint64_t> (random()) << 32) | random();
            double d;
            std::memcpy (&d, &bits, sizeof (d));

            if (chance (3))
                d = std::ldexp (static_cast<double> (static_cast<int32_t> (random())), -static_cast<int> (below (40)));

            if (std::isfinite (d))
                return d;
        }
    }

    std::string makeText()
    {
        std::string text;

        for (auto length = below (8); length != 0; --length)
        {
            uint32_t cp;

            switch (below (5))
            {
                case 0:
                    cp = 1 + below (0x7F);
                    break;
                case 1:
                    cp = 0x80 + below (0x780);
                    break;
                case 2:
                    cp = 0x800 + below (0xF800);
                    break;
                case 3:
                    cp = 0x10000 + below (0x100000);
                    break;
                default:
                    cp = static_cast<uint32_t> ("aZ\"\\/ \t\n"[below (8)]);
                    break;
            }

            if (cp >= 0xD800 && cp <= 0xDFFF)
                cp = 'x';

            text += tunewell::testrig::referenceUtf8 (cp);
        }

        return text;
    }

    void printWhitespace (std::string& out)
    {
        while (chance (3))
            out += " \t\r\n"[below (4)];
    }

    void printString (std::string& out, const std::string& text)
    {
        out += '"';

        for (size_t i = 0; i < text.size();)
        {
            auto lead = static_cast<unsigned char> (text[i]);
            size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
            uint32_t cp = lead < 0x80 ? lead : lead & (0x3F >> (length - 1));

            for (size_t k = 1; k < length; ++k)
                cp = (cp << 6) | (static_cast<unsigned char> (text[i + k]) & 0x3F);

            if (cp == '"' || cp == '\\')
                out += { '\\', static_cast<char> (cp) };
            else if (chance (3))
                printUnicodeEscape (out, cp);
            else
                out.append (text, i, length);

            i += length;
        }

        out += '"';
    }

    void printUnicodeEscape (std::string& out, uint32_t cp)
    {
        char buffer[16];

        if (cp >= 0x10000)
        {
            std::snprintf (buffer, sizeof (buffer), "\\u%04X", 0xD800 + ((cp - 0x10000) >> 10));
            out += buffer;
            cp = 0xDC00 | (cp & 0x3FF);
        }

        std::snprintf (buffer, sizeof (buffer), chance (2) ? "\\u%04x" : "\\u%04X", cp);
        out += buffer;
    }

    void printNode (std::string& out, const Node& node)
    {
        printWhitespace (out);
        char buffer[40];

        switch (node.kind)
        {
            case Node::Kind::null:
                out += "null";
                break;
            case Node::Kind::boolean:
                out += node.flag ? "true" : "false";
                break;
            case Node::Kind::integer:
                out += std::to_string (node.integer);
                break;
            case Node::Kind::real:
                std::snprintf (buffer, sizeof (buffer), chance (2) ? "%.17g" : "%.17e", node.real);
                out += buffer;
                if (std::strpbrk (buffer, ".e") == nullptr)
                    out += ".0";
                break;
            case Node::Kind::string:
                printString (out, node.text);
                break;
            case Node::Kind::array:
            case Node::Kind::object:
            {
                bool isObject = node.kind == Node::Kind::object;
                out += isObject ? '{' : '[';

                for (size_t i = 0; i < node.items.size(); ++i)
                {
                    if (i != 0)
                        out += ',';

                    if (isObject)
                    {
                        printWhitespace (out);
                        printString (out, node.items[i].first);
                        printWhitespace (out);
                        out += ':';
                    }

                    printNode (out, node.items[i].second);
                    printWhitespace (out);
                }

                printWhitespace (out);
                out += isObject ? '}' : ']';
                break;
            }
        }
    }
};

/// Empty when the view holds the node, else where they differ.
std::string difference (const Node& node, const value::ValueView& view, const std::string& path = "$")
{
    auto differs = [&] (const char* what) { return path + ": " + what; };

    switch (node.kind)
    {
        case Node::Kind::null:
            return view.isVoid() ? "" : differs ("not null");
        case Node::Kind::boolean:
            return view.isBool() && view.readContentAs<bool>() == node.flag ? "" : differs ("boolean differs");
        case Node::Kind::integer:
            return view.isInt64() && view.readInt64() == node.integer ? "" : differs ("integer differs");
        case Node::Kind::real:
            // Round numbers are written without a point and come back as integers.
            if (view.isInt64())
                return static_cast<double> (view.readInt64()) == node.real ? "" : differs ("integral real differs");
            return view.isFloat64() && std::memcmp (view.data, &node.real, 8) == 0 ? "" : differs ("real differs");
        case Node::Kind::string:
            return view.isString() && view.readString() == node.text ? "" : differs ("string differs");
        case Node::Kind::array:
        case Node::Kind::object:
            break;
    }

    bool isObject = node.kind == Node::Kind::object;

    if (isObject ? ! view.isObject() : ! view.isArray())
        return differs ("container kind differs");

    if (view.size() != node.items.size())
        return differs ("size differs");

    for (uint32_t i = 0; i < node.items.size(); ++i)
    {
        if (isObject)
        {
            auto member = view.memberAt (i);

            if (member.name != node.items[i].first)
                return differs ("member name differs");

            auto inner = difference (node.items[i].second, member.value, path + "." + member.name);

            if (! inner.empty())
                return inner;
        }
        else
        {
            auto inner = difference (node.items[i].second, view[i], path + "[" + std::to_string (i) + "]");

            if (! inner.empty())
                return inner;
        }
    }

    return {};
}

std::string write (const value::ValueView& view, bool useLineBreaks)
{
    std::string text;
    json::StringAppender out (text);
    json::writeAsJSON (out, view, useLineBreaks);
    return text;
}

value::Value parseText (const std::string& text)
{
    return json::parse (text.c_str(), text.size(), false);
}

/// Every member name and string of a view, in the order they are written.
std::vector<std::string> stringsIn (const value::ValueView& view)
{
    std::vector<std::string> strings;

    if (view.isString())
        strings.emplace_back (view.readString());

    for (uint32_t i = 0; (view.isObject() || view.isArray()) && i < view.size(); ++i)
    {
        auto inner = view.isObject() ? view.memberAt (i).value : view[i];

        if (view.isObject())
            strings.emplace_back (view.memberAt (i).name);

        auto innerStrings = stringsIn (inner);
        strings.insert (strings.end(), innerStrings.begin(), innerStrings.end());
    }

    return strings;
}

bool isPureASCII (const std::string& text)
{
    for (auto c : text)
        if (static_cast<unsigned char> (c) >= 0x7F || (static_cast<unsigned char> (c) < 0x20 && c != '\n'))
            return false;

    return true;
}
} // namespace

TEST (JsonRoundTrip, RandomDocumentsSurviveParsingAndWritingInBothForms)
{
    constexpr uint32_t seed = 20261208;
    DocumentMaker maker (seed);

    for (int documentNumber = 0; documentNumber < 400; ++documentNumber)
    {
        auto document = maker.makeDocument();
        auto text = maker.print (document);
        SCOPED_TRACE ("seed " + std::to_string (seed) + ", document " + std::to_string (documentNumber) + ": " + text);

        auto parsed = parseText (text);
        ASSERT_EQ (difference (document, parsed), "");

        for (bool useLineBreaks : { false, true })
        {
            auto written = write (parsed, useLineBreaks);
            ASSERT_TRUE (isPureASCII (written)) << written;

            auto reparsed = parseText (written);
            ASSERT_EQ (difference (document, reparsed), "") << written;
            ASSERT_EQ (write (reparsed, useLineBreaks), written);
        }
    }
}

TEST (JsonRoundTrip, WrittenFloatsReadBackAsTheSameDoubleThroughStrtod)
{
    constexpr uint32_t seed = 1234567;
    std::mt19937_64 random (seed);

    for (int i = 0; i < 20000; ++i)
    {
        uint64_t bits = random();
        double d;
        std::memcpy (&d, &bits, sizeof (d));

        if (! std::isfinite (d))
            continue;

        std::string text;
        json::StringAppender out (text);
        json::writeAsJSON (out, value::Value (d), false);
        // from_chars, not strtod: only the former rounds correctly on every platform.
        double readBack = 0;
        std::from_chars (text.data(), text.data() + text.size(), readBack);
        ASSERT_EQ (readBack, d) << "seed " << seed << ": " << text;
    }
}

TEST (JsonRoundTrip, EncodedLoneHighSurrogatesReadBackAsTheSameBytes)
{
    // The reader lets encoded surrogates pass and the writer escapes each one
    // alone, so a high one without a low one after it must read back alone.
    const struct
    {
        const char* text;
        std::vector<std::string> strings;
    } cases[] = {
        { "[ \"\xED\xA0\xA0\" ]\n", { "\xED\xA0\xA0" } },
        { "[\"\xED\xA0\x80\"]", { "\xED\xA0\x80" } },
        { "[\"\xED\xA0\x80"
          "abc\"]",
          { "\xED\xA0\x80"
            "abc" } },
        { "[\"\xED\xA0\x80\xED\xAF\xBF\"]", { "\xED\xA0\x80\xED\xAF\xBF" } },
        { "[\"\xED\xA0\x80\\u0041\\n\"]",
          { "\xED\xA0\x80"
            "A\n" } },
        { "[\"x\xED\xAF\xBF\"]", { "x\xED\xAF\xBF" } },
        { "{\"\xED\xA0\x80\": {\"a\xED\xA0\x80\": 1}}", { "\xED\xA0\x80", "a\xED\xA0\x80" } },
        { "[1, \"\xED\xA0\x80\", [\"\xED\xB0\x80\xED\xA0\x80\"]]", { "\xED\xA0\x80", "\xED\xB0\x80\xED\xA0\x80" } },
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.text);
        auto first = parseText (c.text);
        ASSERT_EQ (stringsIn (first), c.strings);

        for (bool useLineBreaks : { false, true })
        {
            auto written = write (first, useLineBreaks);
            auto second = parseText (written);
            EXPECT_EQ (stringsIn (second), c.strings) << written;
            EXPECT_EQ (write (second, useLineBreaks), written);
        }
    }
}

TEST (JsonRoundTrip, AnEncodedSurrogatePairWritesTheSameTextOnceRead)
{
    // Its two halves are escaped as a pair, which reads back as the one
    // character they stand for; from there on the text stays the same.
    auto first = parseText ("[\"\xED\xA0\x80\xED\xB0\x80\"]");
    auto written = write (first, false);
    EXPECT_EQ (written, R"(["\ud800\udc00"])");
    auto second = parseText (written);
    EXPECT_EQ (second[0].readString(), "\xF0\x90\x80\x80");
    EXPECT_EQ (write (second, false), written);
}
