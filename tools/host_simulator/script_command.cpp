#include "script_command.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace host_simulator
{

namespace
{

bool isBlank (char c)
{
    return c == ' ' || c == '\t';
}

std::string trimmed (const std::string& text)
{
    size_t start = 0, end = text.size();

    while (start < end && isBlank (text[start]))
        ++start;

    while (end > start && isBlank (text[end - 1]))
        --end;

    return text.substr (start, end - start);
}

/// The text after the first word of text, without leading blanks.
std::string afterFirstWord (const std::string& text)
{
    size_t position = 0;

    while (position < text.size() && ! isBlank (text[position]))
        ++position;

    return trimmed (text.substr (position));
}

} // namespace

std::optional<ScriptCommand> parseScriptLine (std::string line)
{
    if (! line.empty() && line.back() == '\r')
        line.pop_back();

    line = trimmed (line);

    if (line.empty() || line[0] == '#')
        return std::nullopt;

    ScriptCommand command;
    size_t position = 0;

    while (position < line.size())
    {
        while (position < line.size() && isBlank (line[position]))
            ++position;

        size_t end = position;

        while (end < line.size() && ! isBlank (line[end]))
            ++end;

        if (end > position)
            command.words.push_back (line.substr (position, end - position));

        position = end;
    }

    command.verb = command.words.front();
    command.words.erase (command.words.begin());
    command.textAfterVerb = afterFirstWord (line);
    command.textAfterFirstWord = afterFirstWord (command.textAfterVerb);
    return command;
}

std::optional<int> parseInteger (const std::string& word)
{
    if (word.empty())
        return std::nullopt;

    errno = 0;
    char* end = nullptr;
    const long value = std::strtol (word.c_str(), &end, 10);

    if (*end != '\0' || errno == ERANGE || value < INT_MIN || value > INT_MAX)
        return std::nullopt;

    return static_cast<int> (value);
}

std::optional<double> parseNumber (const std::string& word)
{
    if (word.empty())
        return std::nullopt;

    char* end = nullptr;
    const double value = std::strtod (word.c_str(), &end);

    if (*end != '\0')
        return std::nullopt;

    return value;
}

} // namespace host_simulator
