// The chooser's song list under a host that answers badly: names at the
// buffer limit and beyond, bytes that are not UTF-8, host functions that
// write nothing or fill the whole buffer, and song counts that no setlist
// has. The page always gets a list it can show, asked for the way the page
// asks: through the bridge, answered by a resolve script.

#include <climits>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include <gmock/gmock.h>

#include "extension/lib_main.h"
#include "host_sdk/entry_points.h"
#include "host_sdk/host_functions.h"
#include "json/json_parse.h"
#include "recording_browser.h"
#include "strict_utf8.h"
#include "test_host.h"

using tunewell::testrig::TestHost;
using tunewell::testrig::RecordingBrowser;

namespace
{

/// Host functions that replace the test host's own, by name.
std::map<std::string, void*> replacedFunctions;

void* lookupWithReplacements (void* hostHandle, const char* name)
{
    auto replaced = replacedFunctions.find (name);
    return replaced != replacedFunctions.end() ? replaced->second : TestHost::lookup (hostHandle, name);
}

TestHost& hostOf (void* handle)
{
    return *static_cast<TestHost*> (handle);
}

int countWithoutEnd (void*)
{
    return INT_MAX;
}
int countBelowZero (void*)
{
    return INT_MIN;
}
int countThatGrowsWhileRead (void* handle)
{
    return static_cast<int> (++hostOf (handle).currentSong) + 1;
}
int writesNothing (void*, int, char*, int)
{
    return 0;
}

int fillsTheWholeBuffer (void*, int song, char* buffer, int size)
{
    std::memset (buffer, 'a' + song % 26, static_cast<size_t> (size));
    return size;
}

class HostileChooser : public testing::Test
{
protected:
    void TearDown() override
    {
        OnClose();
        replacedFunctions.clear();
    }

    void setSongs (const std::vector<std::pair<std::string, std::string>>& namesAndArtists)
    {
        for (auto& [name, artist] : namesAndArtists)
            host.songs.push_back ({ name, artist, {}, "", "" });
    }

    /// Registers, opens the chooser and asks for the list as the page does;
    /// returns the markup that the page's promise resolves with.
    std::string songListAsThePageGetsIt()
    {
        VantorRegister (&lookupWithReplacements, host.handle());
        InvokeMenu (0);
        OnModeChanged (1);

        auto& chooser = dynamic_cast<LibMain&> (*vantor::sdk::extensionInstance);
        auto* browser = chooser.getChooserView() != nullptr ? RecordingBrowser::of (*chooser.getChooserView())
                                                            : nullptr;

        if (browser == nullptr)
            return "(no view)";

        browser->clearOperations();
        browser->postWebMessage (R"({"id":7,"fn":"getSongListFromVantor","params":[]})");

        if (browser->operations().size() != 1)
            return "(no single reply)";

        // The recording browser empties a script that the browser could not
        // take; otherwise it holds resolve(<JSON string>).
        const auto& reply = browser->operations().front().text;
        const std::string start = "window._fnBindings[7].resolve(";
        const auto end = reply.rfind ("); delete ");

        if (reply.rfind (start, 0) != 0 || end == std::string::npos)
            return "(not a resolve script: " + reply.substr (0, 80) + ")";

        const auto argument = reply.substr (start.size(), end - start.size());
        return std::string (tunewell::json::parse (argument.c_str(), argument.size(), true).getView().readString());
    }

    static int itemCount (const std::string& markup)
    {
        int count = 0;

        for (auto at = markup.find ("<li "); at != std::string::npos; at = markup.find ("<li ", at + 1))
            ++count;

        return count;
    }

    static std::string item (int index, const std::string& name, const std::string& artist)
    {
        return "<li class='song-item' data-song-artist='" + name + " | " + artist
             + "'><a class='song-select' data-slot='" + std::to_string (index) + "'>" + name + " - " + artist
             + "</a></li>";
    }

    TestHost host;
};

TEST_F (HostileChooser, NamesThatFillTheHostBufferArriveWholeAndLongerOnesAreCutToIt)
{
    const std::string longest (1023, 'a');
    std::string accents;

    for (int i = 0; i < 511; ++i)
        accents += "\xc3\xa9";

    accents += "x";
    setSongs ({ { longest, accents },
                { std::string (1500, 'b'), "Artist" },
                { std::string (1022, 'c') + "\xc3\xa9", "Cut" } });

    const auto markup = songListAsThePageGetsIt();

    EXPECT_EQ (markup, item (0, longest, accents) + item (1, std::string (1023, 'b'), "Artist")
                           + item (2, std::string (1022, 'c') + "\xef\xbf\xbd", "Cut"));
}

TEST_F (HostileChooser, NamesOfRandomBytesStillGiveOneItemPerSongInStrictUtf8)
{
    const unsigned seed = 20240611;
    std::mt19937 random (seed);
    std::vector<std::pair<std::string, std::string>> songs;

    for (int i = 0; i < 300; ++i)
    {
        std::string name (random() % 40, '\0');

        for (auto& c : name)
            c = static_cast<char> (1 + random() % 255);

        songs.push_back ({ name, "Artist " + std::to_string (i) });
    }

    setSongs (songs);
    const auto markup = songListAsThePageGetsIt();

    EXPECT_EQ (itemCount (markup), 300) << "seed " << seed;
    EXPECT_TRUE (tunewell::testrig::isStrictUtf8 (markup)) << "seed " << seed;
    EXPECT_NE (markup.find ("data-slot='299'>"), std::string::npos) << "seed " << seed;
}

TEST_F (HostileChooser, ASetlistOfTenThousandSongsIsListedInFullAndInOrder)
{
    std::vector<std::pair<std::string, std::string>> songs;

    for (int i = 0; i < 10000; ++i)
        songs.push_back ({ "Song " + std::to_string (i), "Band" });

    setSongs (songs);
    const auto markup = songListAsThePageGetsIt();

    EXPECT_EQ (itemCount (markup), 10000);
    EXPECT_EQ (markup.find (item (0, "Song 0", "Band")), 0u);
    EXPECT_EQ (markup.rfind (item (9999, "Song 9999", "Band")),
               markup.size() - item (9999, "Song 9999", "Band").size());
}

TEST_F (HostileChooser, AHostThatWritesNothingOrFillsTheWholeBufferGivesEmptyOrBufferSizedNames)
{
    replacedFunctions["Vantor_GetSongName"] = reinterpret_cast<void*> (&writesNothing);
    replacedFunctions["Vantor_GetArtistName"] = reinterpret_cast<void*> (&fillsTheWholeBuffer);
    setSongs ({ { "Ignored", "Ignored" }, { "Ignored", "Ignored" } });

    EXPECT_EQ (songListAsThePageGetsIt(),
               item (0, "", std::string (1024, 'a')) + item (1, "", std::string (1024, 'b')));
}

TEST_F (HostileChooser, AbsurdSongCountsGiveABoundedList)
{
    replacedFunctions["Vantor_GetSongCount"] = reinterpret_cast<void*> (&countBelowZero);
    EXPECT_EQ (songListAsThePageGetsIt(), "");
    OnClose();

    replacedFunctions["Vantor_GetSongCount"] = reinterpret_cast<void*> (&countWithoutEnd);
    replacedFunctions["Vantor_GetSongName"] = reinterpret_cast<void*> (&writesNothing);
    replacedFunctions["Vantor_GetArtistName"] = reinterpret_cast<void*> (&writesNothing);
    EXPECT_EQ (itemCount (songListAsThePageGetsIt()), 100000);
    OnClose();

    replacedFunctions["Vantor_GetSongCount"] = reinterpret_cast<void*> (&countThatGrowsWhileRead);
    EXPECT_EQ (itemCount (songListAsThePageGetsIt()), 100000);
}

} // namespace
