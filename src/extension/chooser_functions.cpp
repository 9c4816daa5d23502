// The song list and the page functions of the chooser: the parts of a
// showing that need no platform.

#include <cstdint>

#include "extension/chooser_texts.h"
#include "extension/lib_main.h"
#include "extension/song_list_markup.h"

using namespace tunewell;

namespace
{
// Far beyond any real setlist; a host that reports a count like INT_MAX, or
// one that keeps growing as it is read, must not keep its own thread in
// this loop for hours.
constexpr int maximumListedSongs = 100000;
} // namespace

std::string LibMain::getSongListFromVantor()
{
    std::string markup;

    // The count is asked again after every song, so a list that changes
    // while it is read ends where the host now says it ends.
    for (int song = 0; song < maximumListedSongs && song < getSongCount(); ++song)
    {
        auto name = getSongName (song);
        auto artist = getArtistName (song);
        chooser::appendSongListItem (markup, song, name, artist);
    }

    return markup;
}

void LibMain::updateChooser()
{
    if (chooserWindow != nullptr && chooserView != nullptr)
        refreshChooserPage (*chooserView);
}

void LibMain::refreshChooserPage (ui::WebView& view)
{
    view.evaluateJavascript (chooser::songListRefreshScript (getSongListFromVantor()));
}

void LibMain::bindChooserFunctions (ui::WebView& view)
{
    view.bind (chooser::getSongListFunction,
               [this] (const value::ValueView& arguments) { return handleGetSongList (arguments); });
    view.bind (chooser::closeChooserFunction,
               [this] (const value::ValueView& arguments) { return handleCloseSongSelector (arguments); });
    view.bind (chooser::selectSongFunction,
               [this] (const value::ValueView& arguments) { return handleSelectSong (arguments); });
}

value::Value LibMain::handleGetSongList (const value::ValueView&)
{
    return value::Value (std::string_view (getSongListFromVantor()));
}

value::Value LibMain::handleCloseSongSelector (const value::ValueView&)
{
    handleSessionEvent (chooser::SessionEvent::pageCloseButton);
    return {};
}

value::Value LibMain::handleSelectSong (const value::ValueView& arguments)
{
    if (! arguments.isArray() || arguments.size() == 0)
        return {};

    // Throws "Value is not an int64" for anything but an integer, which the
    // bridge turns into a rejected page call.
    const int64_t index = arguments[0].readInt64();

    // -1 means no song; an index no int can hold names no song either,
    // rather than whichever song its low bits happen to give.
    if (index != -1 && index >= INT32_MIN && index <= INT32_MAX)
        switchToSong (static_cast<int> (index), 0);

    return {};
}
