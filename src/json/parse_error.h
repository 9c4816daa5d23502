#pragma once

#include <stdexcept>

#include "text/line_and_column.h"

namespace tunewell::json
{

/// A syntax error in JSON text, with the 1-based place where it was found.
class ParseError : public std::runtime_error
{
public:
    ParseError (const char* message, text::LineAndColumn position)
        : std::runtime_error (message), lineAndColumn (position)
    {
    }

    text::LineAndColumn lineAndColumn;
};

} // namespace tunewell::json
