#include "event_writer.h"

#include <string>

#include "json/json_writer.h"
#include "json/string_appender.h"

namespace chooser_stdio
{

tunewell::value::Value makeEvent (std::string_view name)
{
    auto event = tunewell::value::Value::makeObject ("");
    event.addMember ("event", tunewell::value::Value (name));
    return event;
}

void EventWriter::write (const tunewell::value::Value& event)
{
    // The writer escapes every non-ASCII character, so each event is one
    // ASCII line whatever the texts hold.
    std::string line;
    tunewell::json::StringAppender appender (line);
    tunewell::json::Writer<tunewell::json::StringAppender> (appender, 0).dump (event);
    line += '\n';
    out.write (line.data(), static_cast<std::streamsize> (line.size()));
    out.flush();
}

void EventWriter::write (std::string_view name, std::string_view field, std::string_view text)
{
    auto event = makeEvent (name);
    event.addMember (field, tunewell::value::Value (text));
    write (event);
}

} // namespace chooser_stdio
