#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <string>

#include "runtime/json_string.h"
#include "runtime/uri_filter.h"

namespace tunewell::standin
{
namespace
{

// The reference: the filter turned into a regular expression. The random
// texts use only letters, "/" and "*", so nothing else needs escaping.
bool referenceMatch (const std::string& filter, const std::string& uri)
{
    std::string pattern;
    for (char c : filter)
        pattern += c == '*' ? std::string (".*") : std::string (1, c);

    return std::regex_match (uri, std::regex (pattern));
}

std::wstring widen (const std::string& text)
{
    return std::wstring (text.begin(), text.end());
}

TEST (UriFilter, AgreesWithARegularExpressionOnRandomFiltersAndUris)
{
    const unsigned seed = 20240611;
    std::mt19937 random (seed);
    const std::string alphabet = "ab/*";

    auto randomText = [&] (bool allowStars) {
        std::string text;
        auto length = random() % 8;
        for (unsigned i = 0; i < length; ++i)
        {
            char c = alphabet[random() % alphabet.size()];
            text += (c == '*' && ! allowStars) ? 'a' : c;
        }
        return text;
    };

    for (int round = 0; round < 3000; ++round)
    {
        auto filter = randomText (true);
        auto uri = randomText (false);
        ASSERT_EQ (matchesUriFilter (widen (filter), widen (uri)), referenceMatch (filter, uri))
            << "seed " << seed << ", filter \"" << filter << "\", uri \"" << uri << "\"";
    }
}

TEST (UriFilter, RootFiltersCoverTheRootAndEverythingBelowIt)
{
    EXPECT_TRUE (matchesUriFilter (L"https://app.localhost/*", L"https://app.localhost/"));
    EXPECT_TRUE (matchesUriFilter (L"https://app.localhost/*", L"https://app.localhost/css/app.css?v=1#top"));
    EXPECT_FALSE (matchesUriFilter (L"https://app.localhost/*", L"https://app.localhost"));
    EXPECT_FALSE (matchesUriFilter (L"https://app.localhost/*", L"https://app.localhost.evil/"));
}

TEST (JsonStringLiteral, EscapesWhatJsonRequiresAndKeepsTheRest)
{
    EXPECT_EQ (jsonStringLiteral (L""), L"\"\"");
    EXPECT_EQ (jsonStringLiteral (L"a\"b\\c"), L"\"a\\\"b\\\\c\"");
    EXPECT_EQ (jsonStringLiteral (L"\n\t\x01\x1f"), L"\"\\n\\t\\u0001\\u001f\"");
    EXPECT_EQ (jsonStringLiteral (L"/ \u00e9 \U0001F3B5"), L"\"/ \u00e9 \U0001F3B5\"");
}

} // namespace
} // namespace tunewell::standin
