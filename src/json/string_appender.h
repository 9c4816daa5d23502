#pragma once

#include <cstddef>
#include <string>

namespace tunewell::json
{

/// The cheapest output stream for the JSON writer: it appends to a caller's
/// string with the two calls the writer uses, `put` and `write`, which a
/// std::ostream also offers.
class StringAppender
{
public:
    explicit StringAppender (std::string& target) : text (target) {}

    void put (char c) { text.push_back (c); }

    void write (const char* chars, std::size_t count)
    {
        // The writer's pieces are mostly a few characters (", ", an escape),
        // where the inline push_back beats a library call to append.
        if (count <= 8)
        {
            for (std::size_t i = 0; i < count; ++i)
                text.push_back (chars[i]);
        }
        else
        {
            text.append (chars, count);
        }
    }

private:
    std::string& text;
};

} // namespace tunewell::json
