#include "text/utf8_repair.h"

#include "text/utf8_sequences.h"

namespace tunewell::text
{

std::string withInvalidUtf8Replaced (std::string_view text)
{
    constexpr std::string_view replacementCharacter = "\xEF\xBF\xBD";

    std::string repaired;
    repaired.reserve (text.size());

    while (! text.empty())
    {
        auto sequence = checkStrictSequence (text);

        if (sequence.isWellFormed)
            repaired.append (text.substr (0, sequence.length));
        else
            repaired.append (replacementCharacter);

        text.remove_prefix (sequence.length);
    }

    return repaired;
}

} // namespace tunewell::text
