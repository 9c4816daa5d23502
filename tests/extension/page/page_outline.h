#pragma once

#include <string>
#include <utility>
#include <vector>

// A deliberately small reader for the chooser page, enough to check its
// structure without a browser: tags with quoted attributes, text, and raw
// script and style contents. It throws std::runtime_error on anything it does
// not understand, so a malformed page fails the test instead of passing it.
namespace pagecheck
{

struct Element
{
    std::string tag;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::string text; // text directly inside, trimmed; raw for script and style
    std::vector<Element> children;

    std::string attribute (const std::string& name) const;
    std::vector<const Element*> childrenNamed (const std::string& childTag) const;
};

struct Document
{
    std::string doctype; // the text between "<!" and ">"
    Element root;        // the html element
};

Document readDocument (const std::string& html);

struct CssRule
{
    std::string selector;
    std::vector<std::pair<std::string, std::string>> declarations;
};

std::vector<CssRule> readStyleSheet (const std::string& css);

} // namespace pagecheck
