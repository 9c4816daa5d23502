#include <gmock/gmock.h>

#include "chooser_fixture.h"
#include "extension/song_list_markup.h"
#include "json/json_escape.h"
#include "webview/bridge_scripts.h"

using tunewell::testrig::HostCall;
using testing::ElementsAre;
using testing::IsEmpty;

namespace
{

class SongList : public tunewell::testrig::ChooserFixture
{};

std::string itemFor (int index, const std::string& name, const std::string& artist)
{
    return "<li class='song-item' data-song-artist='" + name + " | " + artist + "'><a class='song-select' data-slot='"
         + std::to_string (index) + "'>" + name + " - " + artist + "</a></li>";
}

TEST_F (SongList, NoSongsGiveEmptyMarkupAfterOneCountQuery)
{
    EXPECT_EQ (chooser().getSongListFromVantor(), "");
    EXPECT_THAT (host.calls, ElementsAre (HostCall { "Vantor_GetSongCount", {} }));
}

TEST_F (SongList, OneSongGivesExactlyOneItem)
{
    setSongs ({ { "Blue", "Tide" } });
    EXPECT_EQ (
        chooser().getSongListFromVantor(),
        "<li class='song-item' data-song-artist='Blue | Tide'><a class='song-select' data-slot='0'>Blue - Tide</a></li>");
}

TEST_F (SongList, ItemsFollowHostOrderWithPlainIndicesAndNothingBetween)
{
    std::vector<std::pair<std::string, std::string>> songs;
    std::string expected;

    for (int i = 0; i < 11; ++i)
    {
        songs.push_back ({ "Song " + std::to_string (i), i == 3 ? "" : "Artist" });
        expected += itemFor (i, songs.back().first, songs.back().second);
    }

    setSongs (songs);
    auto markup = chooser().getSongListFromVantor();
    EXPECT_EQ (markup, expected);
    EXPECT_NE (markup.find ("data-slot='10'>Song 10 - Artist</a>"), std::string::npos);
    EXPECT_NE (markup.find ("data-song-artist='Song 3 | '><a class='song-select' data-slot='3'>Song 3 - </a>"),
               std::string::npos);
}

TEST_F (SongList, EachSongCostsOneCountNameAndArtistQueryInThatOrder)
{
    setSongs ({ { "A", "a" }, { "B", "b" }, { "C", "c" } });
    chooser().getSongListFromVantor();

    std::vector<std::string> functions;

    for (auto& call : host.calls)
        functions.push_back (call.function);

    EXPECT_THAT (functions, ElementsAre ("Vantor_GetSongCount", "Vantor_GetSongName", "Vantor_GetArtistName",
                                         "Vantor_GetSongCount", "Vantor_GetSongName", "Vantor_GetArtistName",
                                         "Vantor_GetSongCount", "Vantor_GetSongName", "Vantor_GetArtistName",
                                         "Vantor_GetSongCount"));
    EXPECT_EQ (host.callsTo ("Vantor_GetSongName")[1], (HostCall { "Vantor_GetSongName", { "1", "1024" } }));
}

TEST_F (SongList, AListThatShrinksOrGrowsWhileReadEndsWhereTheHostNowSays)
{
    setSongs ({ { "A", "a" }, { "B", "b" }, { "C", "c" } });
    host.onCall = [this] (const HostCall& call) {
        if (call == HostCall { "Vantor_GetArtistName", { "0", "1024" } })
            host.songs.resize (1);
    };
    EXPECT_EQ (chooser().getSongListFromVantor(), itemFor (0, "A", "a"));

    setSongs ({ { "A", "a" } });
    host.onCall = [this] (const HostCall& call) {
        if (call == HostCall { "Vantor_GetArtistName", { "0", "1024" } })
            host.songs.push_back ({ "B", "b", {}, "", "" });
    };
    EXPECT_EQ (chooser().getSongListFromVantor(), itemFor (0, "A", "a") + itemFor (1, "B", "b"));
}

TEST_F (SongList, NamesAreHtmlEscapedInBothPlaces)
{
    setSongs ({ { "Rock & <Roll>", "O'Brien \"Jr\"" } });
    const std::string name = "Rock &amp; &lt;Roll&gt;";
    const std::string artist = "O&#39;Brien &quot;Jr&quot;";

    EXPECT_EQ (chooser().getSongListFromVantor(), itemFor (0, name, artist));
    EXPECT_EQ (tunewell::chooser::escapeHtml ("&amp;"), "&amp;amp;");
    EXPECT_EQ (tunewell::chooser::escapeHtml ("\\ \n \xC3\xA9"), "\\ \n \xC3\xA9");
}

TEST_F (SongList, InvalidUtf8CostsOnlyTheBadBytes)
{
    setSongs ({ { "Caf\xC3\xA9", "Ok" }, { "Bad\xFF", "\xE2\x82" }, { "Last", "One" } });
    EXPECT_EQ (chooser().getSongListFromVantor(), itemFor (0, "Caf\xC3\xA9", "Ok")
                                                      + itemFor (1, "Bad\xEF\xBF\xBD", "\xEF\xBF\xBD")
                                                      + itemFor (2, "Last", "One"));
}

TEST (SongListRefreshScript, PassesTheMarkupAsOneAsciiStringLiteral)
{
    const std::string plain = "<li class='song-item' data-song-artist='Blue | Tide'>x</li>";
    EXPECT_EQ (tunewell::chooser::songListRefreshScript (plain), "setSongList(\"" + plain + "\")");
    EXPECT_EQ (tunewell::chooser::songListRefreshScript (""), "setSongList(\"\")");
    EXPECT_EQ (tunewell::chooser::songListRefreshScript ("a\"b\\c\nd\xC3\xA9\xE2\x80\xA8"),
               "setSongList(\"a\\\"b\\\\c\\nd\\u00e9\\u2028\")");
}

class PageFunctions : public tunewell::testrig::ChooserFixture
{
protected:
    void SetUp() override
    {
        ChooserFixture::SetUp();
        openChooser();
        host.clearLog();
    }
};

TEST_F (PageFunctions, GetSongListResolvesWithTheMarkupWhateverItsArguments)
{
    setSongs ({ { "Blue", "Tide" }, { "Caf\xC3\xA9 \"L\xFF\"", "Z" } });
    const auto markup = chooser().getSongListFromVantor();
    const auto reply = tunewell::ui::makeResolveScript (4, tunewell::json::getEscapedQuotedString (markup));

    EXPECT_THAT (callFromPage (R"({"id":4,"fn":"getSongListFromVantor","params":[]})"), ElementsAre (reply));
    EXPECT_THAT (callFromPage (R"({"id":4,"fn":"getSongListFromVantor","params":[1,"x",{}]})"), ElementsAre (reply));
    EXPECT_THAT (callFromPage (R"({"id":4,"fn":"getSongListFromVantor"})"), ElementsAre (reply));
    EXPECT_NE (reply.find ("\\u00e9 &quot;L\\ufffd&quot;"), std::string::npos);
}

TEST_F (PageFunctions, SelectSongSwitchesToTheGivenSongAtPartZero)
{
    setSongs ({ { "A", "a" }, { "B", "b" }, { "C", "c" }, { "D", "d" } });

    EXPECT_THAT (callFromPage (R"({"id":1,"fn":"selectSong","params":[3]})"),
                 ElementsAre (tunewell::ui::makeResolveScript (1, "null")));
    EXPECT_THAT (host.calls, ElementsAre (HostCall { "Vantor_SwitchToSong", { "3", "0" } }));
    EXPECT_EQ (host.currentSong, 3);
}

TEST_F (PageFunctions, SelectSongWithoutASongMakesNoHostCall)
{
    for (const char* params : { "[-1]", "[]", "{}", "\"3\"", "[4294967297]", "[-2147483649]" })
    {
        auto reply = callFromPage (std::string (R"({"id":2,"fn":"selectSong","params":)") + params + "}");
        EXPECT_THAT (reply, ElementsAre (tunewell::ui::makeResolveScript (2, "null"))) << params;
    }

    EXPECT_THAT (callFromPage (R"({"id":2,"fn":"selectSong"})"),
                 ElementsAre (tunewell::ui::makeResolveScript (2, "null")));
    EXPECT_THAT (host.calls, IsEmpty());
}

TEST_F (PageFunctions, SelectSongWithANonIntegerIsRejectedWithoutAHostCall)
{
    for (const char* params : { "[2.5]", "[\"3\"]", "[null]", "[true]", "[[1]]" })
    {
        auto reply = callFromPage (std::string (R"({"id":5,"fn":"selectSong","params":)") + params + "}");
        EXPECT_THAT (reply, ElementsAre (tunewell::ui::makeRejectScript (5))) << params;
    }

    EXPECT_THAT (host.calls, IsEmpty());
}

TEST_F (PageFunctions, SelectSongPassesOtherIndicesToTheHost)
{
    callFromPage (R"({"id":1,"fn":"selectSong","params":[-7, "ignored"]})");
    callFromPage (R"({"id":1,"fn":"selectSong","params":[2147483647]})");
    EXPECT_THAT (host.calls, ElementsAre (HostCall { "Vantor_SwitchToSong", { "-7", "0" } },
                                          HostCall { "Vantor_SwitchToSong", { "2147483647", "0" } }));
}

TEST_F (PageFunctions, CloseSongSelectorWithoutAWindowDoesNothing)
{
    auto* view = chooser().getChooserView();
    EXPECT_THAT (callFromPage (R"({"id":3,"fn":"closeSongSelector","params":[]})"),
                 ElementsAre (tunewell::ui::makeResolveScript (3, "null")));
    EXPECT_EQ (chooser().getChooserView(), view);
    EXPECT_THAT (host.calls, IsEmpty());
}

TEST_F (PageFunctions, RefreshingAPageSendsTheCurrentListThroughSetSongList)
{
    setSongs ({ { "Blue", "Tide" } });
    browser().clearOperations();
    chooser().refreshChooserPage (*chooser().getChooserView());

    ASSERT_EQ (browser().operations().size(), 1u);
    EXPECT_EQ (browser().operations()[0].text, "setSongList(\"" + itemFor (0, "Blue", "Tide") + "\")");
}

TEST_F (PageFunctions, ARefreshWithInvalidUtf8StillReachesThePage)
{
    setSongs ({ { "Bad\xC0\xAF", "\xED\xA0\x80" }, { "Good", "Name" } });
    browser().clearOperations();
    chooser().refreshChooserPage (*chooser().getChooserView());

    ASSERT_EQ (browser().operations().size(), 1u);
    const auto& script = browser().operations()[0].text;
    EXPECT_NE (script.find ("Bad\\ufffd\\ufffd | \\ufffd\\ufffd\\ufffd"), std::string::npos) << script;
    EXPECT_NE (script.find ("Good - Name"), std::string::npos) << script;
}

} // namespace
