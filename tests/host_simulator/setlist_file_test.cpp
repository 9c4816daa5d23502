#include "setlist_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

using host_simulator::readSetlists;
using testing::HasSubstr;

namespace
{

std::vector<std::string> partNames (const tunewell::testrig::Song& song)
{
    std::vector<std::string> names;
    for (auto& part : song.parts)
        names.push_back (part.name);
    return names;
}

/// The message of the error that reading the text throws, or a note that it threw none.
std::string problemWith (const std::string& jsonText)
{
    try
    {
        readSetlists (jsonText);
    }
    catch (const std::runtime_error& error)
    {
        return error.what();
    }
    return "(no error)";
}

std::string readFile (const char* path)
{
    std::ifstream file (path, std::ios::binary);
    return { std::istreambuf_iterator<char> (file), std::istreambuf_iterator<char>() };
}

} // namespace

TEST (SetlistFile, ReadsEverySetlistWithItsSongsInOrder)
{
    auto setlists = readSetlists (R"({"setlists": [
        {"name": "Friday", "songs": [
            {"name": "Blue", "artist": "Tide", "parts": ["Intro", "Verse"]},
            {"name": "Rock & Roll", "artist": "Led Zeppelin", "parts": ["Solo"]}]},
        {"name": "Encore", "songs": []}]})");

    ASSERT_EQ (setlists.size(), 2u);
    EXPECT_EQ (setlists[0].name, "Friday");
    ASSERT_EQ (setlists[0].songs.size(), 2u);
    EXPECT_EQ (setlists[0].songs[0].name, "Blue");
    EXPECT_EQ (setlists[0].songs[0].artist, "Tide");
    EXPECT_THAT (partNames (setlists[0].songs[0]), testing::ElementsAre ("Intro", "Verse"));
    EXPECT_EQ (setlists[0].songs[1].name, "Rock & Roll");
    EXPECT_THAT (partNames (setlists[0].songs[1]), testing::ElementsAre ("Solo"));
    EXPECT_EQ (setlists[1].name, "Encore");
    EXPECT_TRUE (setlists[1].songs.empty());
}

TEST (SetlistFile, KeepsNamesWithEscapesAndNonAsciiLettersByteForByte)
{
    auto setlists = readSetlists (R"({"setlists": [{"name": "Caf\u00e9", "songs": [
        {"name": "\"Heroes\"", "artist": "Sigur Rós", "parts": ["Piano\tBuild"]}]}]})");

    ASSERT_EQ (setlists.size(), 1u);
    EXPECT_EQ (setlists[0].name, "Caf\xc3\xa9");
    EXPECT_EQ (setlists[0].songs[0].name, "\"Heroes\"");
    EXPECT_EQ (setlists[0].songs[0].artist, "Sigur R\xc3\xb3s");
    EXPECT_THAT (partNames (setlists[0].songs[0]), testing::ElementsAre ("Piano\tBuild"));
}

TEST (SetlistFile, GivesASongWithoutPartsTheOnePartTheHostAlwaysHas)
{
    auto setlists = readSetlists (R"({"setlists": [{"name": "S", "songs": [
        {"name": "A", "artist": "X"}, {"name": "B", "artist": "Y", "parts": []}]}]})");

    ASSERT_EQ (setlists[0].songs.size(), 2u);
    for (auto& song : setlists[0].songs)
    {
        EXPECT_THAT (partNames (song), testing::ElementsAre ("Part 1")) << song.name;
        EXPECT_EQ (song.parts[0].variationName, "");
    }
}

TEST (SetlistFile, ReadsTheSampleSetlistThatShipsWithTheSimulator)
{
    auto text = readFile (TUNEWELL_SAMPLE_SETLIST_FILE);
    ASSERT_FALSE (text.empty()) << "could not read " << TUNEWELL_SAMPLE_SETLIST_FILE;

    auto setlists = readSetlists (text);
    ASSERT_FALSE (setlists.empty());
    EXPECT_EQ (setlists[0].name, "Friday at the Harbour");
    ASSERT_FALSE (setlists[0].songs.empty());
    EXPECT_EQ (setlists[0].songs[0].name, "Don't Stop Me Now");
    for (auto& setlist : setlists)
        for (auto& song : setlist.songs)
            EXPECT_FALSE (song.parts.empty()) << song.name;
}

TEST (SetlistFileErrors, SayWhereTheJsonTextBreaks)
{
    auto problem = problemWith ("{\"setlists\": [\n  {\"name\": \"S\",, }]}");
    EXPECT_THAT (problem, HasSubstr ("setlist file: "));
    EXPECT_THAT (problem, HasSubstr ("at line 2, column "));
    EXPECT_THAT (problemWith ("7"), HasSubstr ("setlist file: "));
}

TEST (SetlistFileErrors, RefuseADocumentWithoutSetlists)
{
    for (const char* text :
         { "{}", "[]", R"({"setlists": []})", R"({"setlists": {}})", R"({"setlists": "S"})", R"([{"setlists": []}])" })
        EXPECT_THAT (problemWith (text), HasSubstr ("needs a non-empty array \"setlists\"")) << text;
}

TEST (SetlistFileErrors, NameTheSetlistThatIsMalformed)
{
    EXPECT_THAT (problemWith (R"({"setlists": [{"name": "A", "songs": []}, 3]})"),
                 HasSubstr ("setlist 1 is not an object"));
    EXPECT_THAT (problemWith (R"({"setlists": [{"songs": []}]})"), HasSubstr ("setlist 0 needs a string \"name\""));
    EXPECT_THAT (problemWith (R"({"setlists": [{"name": 5, "songs": []}]})"),
                 HasSubstr ("setlist 0 needs a string \"name\""));
    EXPECT_THAT (problemWith (R"({"setlists": [{"name": "A"}]})"), HasSubstr ("setlist 0 needs an array \"songs\""));
    EXPECT_THAT (problemWith (R"({"setlists": [{"name": "A", "songs": {}}]})"),
                 HasSubstr ("setlist 0 needs an array \"songs\""));
}

TEST (SetlistFileErrors, NameTheSongAndPartThatIsMalformed)
{
    const std::string before = R"({"setlists": [{"name": "A", "songs": [{"name": "ok", "artist": "ok"}, )";
    const std::string after = "]}]}";

    EXPECT_THAT (problemWith (before + "[]" + after), HasSubstr ("setlist 0, song 1 is not an object"));
    EXPECT_THAT (problemWith (before + R"({"artist": "X"})" + after),
                 HasSubstr ("setlist 0, song 1 needs a string \"name\""));
    EXPECT_THAT (problemWith (before + R"({"name": "X", "artist": null})" + after),
                 HasSubstr ("setlist 0, song 1 needs a string \"artist\""));
    EXPECT_THAT (problemWith (before + R"({"name": "X", "artist": "Y", "parts": "Intro"})" + after),
                 HasSubstr ("setlist 0, song 1: \"parts\" is not an array"));
    EXPECT_THAT (problemWith (before + R"({"name": "X", "artist": "Y", "parts": ["Intro", 2]})" + after),
                 HasSubstr ("setlist 0, song 1: part 1 is not a string"));
}
