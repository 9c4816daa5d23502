#include "values/string_dictionary.h"

#include <cstring>

#include "values/error.h"

namespace tunewell::value
{

StringDictionary::Handle SimpleStringDictionary::getHandleForString (std::string_view text)
{
    if (text.empty())
        return {};

    std::string_view stored (strings.data(), strings.size());

    // A match counts only where a stored string starts and ends exactly.
    for (auto position = stored.find (text); position != std::string_view::npos;
         position = stored.find (text, position + 1))
    {
        auto end = position + text.size();
        bool startsString = position == 0 || stored[position - 1] == 0;

        if (startsString && end < stored.size() && stored[end] == 0)
            return { static_cast<uint32_t> (position + 1) };
    }

    auto handle = static_cast<uint32_t> (strings.size() + 1);
    strings.insert (strings.end(), text.begin(), text.end());
    strings.push_back (0);
    return { handle };
}

std::string_view SimpleStringDictionary::getStringForHandle (Handle handle) const
{
    if (handle.handle == 0)
        return {};

    if (handle.handle > strings.size())
        throw Error ("Unknown string");

    auto start = strings.data() + (handle.handle - 1);
    auto available = strings.size() - (handle.handle - 1);
    auto terminator = static_cast<const char*> (std::memchr (start, 0, available));
    return { start, terminator != nullptr ? static_cast<std::size_t> (terminator - start) : available };
}

} // namespace tunewell::value
