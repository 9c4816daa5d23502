#pragma once

#include <optional>
#include <string>
#include <vector>

namespace host_simulator
{

/// One line of a simulator script: a verb and the words after it, split at
/// blanks, plus the text after the verb and its first argument as it was
/// written (for commands whose last argument is free text, such as
/// "rename 3 New name" or "page-message {...}").
struct ScriptCommand
{
    std::string verb;
    std::vector<std::string> words;
    /// Everything after the verb.
    std::string textAfterVerb;
    /// Everything after the verb's first word.
    std::string textAfterFirstWord;
};

/// Empty for blank lines and comments (lines starting with '#'). A
/// trailing carriage return is dropped, so scripts may have Windows line ends.
std::optional<ScriptCommand> parseScriptLine (std::string line);

/// A whole decimal integer (optional sign), or nothing.
std::optional<int> parseInteger (const std::string& word);

/// A decimal number as the host would read a widget value, or nothing.
std::optional<double> parseNumber (const std::string& word);

} // namespace host_simulator
