#include "page_outline.h"

#include <cctype>
#include <stdexcept>

namespace pagecheck
{

namespace
{

const char* const voidElements[] = { "meta", "br", "link", "img" };

bool isVoidElement (const std::string& tag)
{
    for (auto* name : voidElements)
        if (tag == name)
            return true;
    return false;
}

std::string trimmed (const std::string& s)
{
    auto begin = s.find_first_not_of (" \t\r\n");
    if (begin == std::string::npos)
        return {};
    auto end = s.find_last_not_of (" \t\r\n");
    return s.substr (begin, end - begin + 1);
}

[[noreturn]] void fail (const std::string& what, size_t position)
{
    throw std::runtime_error (what + " at byte " + std::to_string (position));
}

class Reader
{
public:
    explicit Reader (const std::string& text) : html (text) {}

    Document read()
    {
        Document document;
        skipSpace();
        if (html.compare (pos, 2, "<!") != 0)
            fail ("expected a document type declaration", pos);
        auto close = findOrFail (">", pos);
        document.doctype = html.substr (pos + 2, close - pos - 2);
        pos = close + 1;
        skipSpace();
        document.root = readElement();
        skipSpace();
        if (pos != html.size())
            fail ("text after the html element", pos);
        return document;
    }

private:
    const std::string& html;
    size_t pos = 0;

    void skipSpace()
    {
        while (pos < html.size() && std::isspace (static_cast<unsigned char> (html[pos])))
            ++pos;
    }

    size_t findOrFail (const char* what, size_t from) const
    {
        auto found = html.find (what, from);
        if (found == std::string::npos)
            fail (std::string ("missing \"") + what + "\"", from);
        return found;
    }

    std::string readName()
    {
        auto start = pos;
        while (pos < html.size() && (std::isalnum (static_cast<unsigned char> (html[pos])) || html[pos] == '-'))
            ++pos;
        if (pos == start)
            fail ("expected a name", pos);
        return html.substr (start, pos - start);
    }

    std::string readAttributeValue()
    {
        if (pos >= html.size() || (html[pos] != '\'' && html[pos] != '"'))
            fail ("attribute value without quotes", pos);
        auto quote = html[pos];
        auto close = html.find (quote, pos + 1);
        if (close == std::string::npos)
            fail ("unterminated attribute value", pos);
        auto value = html.substr (pos + 1, close - pos - 1);
        pos = close + 1;
        return value;
    }

    Element readStartTag()
    {
        Element element;
        ++pos; // '<'
        element.tag = readName();
        for (;;)
        {
            skipSpace();
            if (pos >= html.size())
                fail ("unterminated tag", pos);
            if (html[pos] == '>')
                break;
            auto name = readName();
            skipSpace();
            if (pos >= html.size() || html[pos] != '=')
                fail ("attribute without value", pos);
            ++pos;
            skipSpace();
            element.attributes.emplace_back (name, readAttributeValue());
        }
        ++pos; // '>'
        return element;
    }

    void readEndTag (const std::string& tag)
    {
        auto expected = "</" + tag + ">";
        if (html.compare (pos, expected.size(), expected) != 0)
            fail ("expected " + expected, pos);
        pos += expected.size();
    }

    Element readElement()
    {
        if (pos >= html.size() || html[pos] != '<')
            fail ("expected an element", pos);
        auto element = readStartTag();
        if (isVoidElement (element.tag))
            return element;

        if (element.tag == "script" || element.tag == "style")
        {
            auto close = findOrFail (("</" + element.tag + ">").c_str(), pos);
            element.text = html.substr (pos, close - pos);
            pos = close;
        }
        else
        {
            readContent (element);
        }
        readEndTag (element.tag);
        return element;
    }

    void readContent (Element& element)
    {
        std::string text;
        while (pos < html.size() && html.compare (pos, 2, "</") != 0)
        {
            if (html[pos] == '<')
                element.children.push_back (readElement());
            else
                text += html[pos++];
        }
        element.text = trimmed (text);
    }
};

std::vector<std::pair<std::string, std::string>> readDeclarations (const std::string& block)
{
    std::vector<std::pair<std::string, std::string>> declarations;
    size_t start = 0;
    while (start < block.size())
    {
        auto end = block.find (';', start);
        if (end == std::string::npos)
            end = block.size();
        auto declaration = trimmed (block.substr (start, end - start));
        start = end + 1;
        if (declaration.empty())
            continue;
        auto colon = declaration.find (':');
        if (colon == std::string::npos)
            throw std::runtime_error ("declaration without colon: " + declaration);
        declarations.emplace_back (trimmed (declaration.substr (0, colon)), trimmed (declaration.substr (colon + 1)));
    }
    return declarations;
}

} // namespace

std::string Element::attribute (const std::string& name) const
{
    for (auto& [key, value] : attributes)
        if (key == name)
            return value;
    return {};
}

std::vector<const Element*> Element::childrenNamed (const std::string& childTag) const
{
    std::vector<const Element*> found;
    for (auto& child : children)
        if (child.tag == childTag)
            found.push_back (&child);
    return found;
}

Document readDocument (const std::string& html)
{
    return Reader (html).read();
}

std::vector<CssRule> readStyleSheet (const std::string& css)
{
    std::vector<CssRule> rules;
    size_t pos = 0;
    for (;;)
    {
        auto open = css.find ('{', pos);
        if (open == std::string::npos)
        {
            if (! trimmed (css.substr (pos)).empty())
                throw std::runtime_error ("text after the last rule");
            return rules;
        }
        auto close = css.find ('}', open);
        if (close == std::string::npos)
            throw std::runtime_error ("unterminated rule");
        rules.push_back (
            { trimmed (css.substr (pos, open - pos)), readDeclarations (css.substr (open + 1, close - open - 1)) });
        pos = close + 1;
    }
}

} // namespace pagecheck
