#include "json/json_escape.h"

#include "json/string_appender.h"

namespace tunewell::json
{

std::string getEscapedQuotedString (std::string_view text)
{
    std::string quoted;
    quoted.reserve (text.size() + 2);
    StringAppender out (quoted);
    writeEscapedQuotedString (out, text);
    return quoted;
}

} // namespace tunewell::json
