#include "text/strings.h"

namespace tunewell::text
{

std::string joinStrings (const std::vector<std::string>& strings, std::string_view separator)
{
    if (strings.empty())
        return {};

    std::size_t totalLength = 0;

    for (auto& s : strings)
        totalLength += s.size() + separator.size();

    std::string result;
    result.reserve (totalLength);
    result += strings.front();

    for (std::size_t i = 1; i < strings.size(); ++i)
    {
        result += separator;
        result += strings[i];
    }

    return result;
}

std::string replace (std::string text, std::string_view search, std::string_view replacement)
{
    // An empty search would match everywhere and never advance.
    if (search.empty())
        return text;

    for (auto position = text.find (search); position != std::string::npos;
         position = text.find (search, position + replacement.size()))
    {
        text.replace (position, search.size(), replacement);
    }

    return text;
}

} // namespace tunewell::text
