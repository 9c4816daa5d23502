#pragma once

#include <cstdint>

namespace tunewell::text
{

/// A 1-based place in a text; (0, 0) means that there is no place.
struct LineAndColumn
{
    uint64_t line = 0;
    uint64_t column = 0;
};

inline bool operator== (LineAndColumn a, LineAndColumn b)
{
    return a.line == b.line && a.column == b.column;
}
inline bool operator!= (LineAndColumn a, LineAndColumn b)
{
    return ! (a == b);
}

} // namespace tunewell::text
