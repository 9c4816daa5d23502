#pragma once

#include <ostream>
#include <string_view>

#include "values/value.h"

namespace chooser_stdio
{

/// An object value whose first member is "event": name; callers add the rest.
tunewell::value::Value makeEvent (std::string_view name);

/// Writes the program's events, one compact JSON object per line, flushed at
/// once so that the test sees each event while the program waits for input.
class EventWriter
{
public:
    explicit EventWriter (std::ostream& output) : out (output) {}

    void write (const tunewell::value::Value& event);

    /// {"event": name, field: text}
    void write (std::string_view name, std::string_view field, std::string_view text);

private:
    std::ostream& out;
};

} // namespace chooser_stdio
