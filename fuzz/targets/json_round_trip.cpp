// Any bytes go to the parser in both modes. Whatever parses must write, in
// either form, to text that parses again to a value writing the very same
// text; anything else must be one of the two parse failures.

#include <exception>
#include <optional>
#include <string>

#include "fuzz_check.h"
#include "fuzz_targets.h"
#include "json/json_parse.h"
#include "json/json_writer.h"
#include "json/string_appender.h"

namespace tunewell::fuzzing
{

namespace
{

constexpr const char* target = "json_round_trip";

std::string written (const value::ValueView& view, bool useLineBreaks)
{
    std::string text;
    json::StringAppender out (text);

    try
    {
        json::writeAsJSON (out, view, useLineBreaks);
    }
    catch (const std::exception& e)
    {
        failFuzzCheck (target, std::string ("writing a parsed value threw: ") + e.what());
    }

    return text;
}

/// The parsed value, or nothing after a defined parse failure.
std::optional<value::Value> parsed (const std::string& text, bool parseBareValue)
{
    try
    {
        return json::parse (text.c_str(), text.size(), parseBareValue);
    }
    catch (const json::ParseError&)
    {
    }
    catch (const value::Error&)
    {
    }
    catch (const std::exception& e)
    {
        failFuzzCheck (target, std::string ("the parser threw an undocumented exception: ") + e.what());
    }

    return std::nullopt;
}

void checkRoundTrip (const value::Value& first)
{
    const auto compact = written (first, false);
    fuzzCheck (written (first, false) == compact, target, "writing twice gave different texts");

    for (auto& text : { compact, written (first, true) })
    {
        // A scalar only parses as a bare value, and bare parsing takes any
        // document, so the re-read always allows it.
        auto second = parsed (text, true);
        fuzzCheck (second.has_value(), target, "written text does not parse again: " + text);
        fuzzCheck (written (*second, false) == compact, target,
                   "re-parsed value writes differently:\n  " + compact + "\n  " + written (*second, false));
    }
}

} // namespace

int fuzzJsonRoundTrip (const std::uint8_t* data, std::size_t size)
{
    const std::string text (reinterpret_cast<const char*> (data), size);

    for (bool parseBareValue : { false, true })
        if (auto value = parsed (text, parseBareValue))
            checkRoundTrip (*value);

    return 0;
}

} // namespace tunewell::fuzzing
