#include "extension/song_list_markup.h"

#include "extension/chooser_texts.h"
#include "text/utf8_repair.h"
#include "json/json_escape.h"

namespace tunewell::chooser
{

std::string escapeHtml (std::string_view text)
{
    std::string escaped;
    escaped.reserve (text.size());

    for (char c : text)
    {
        switch (c)
        {
            case '&':
                escaped += "&amp;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            case '"':
                escaped += "&quot;";
                break;
            case '\'':
                escaped += "&#39;";
                break;
            default:
                escaped += c;
                break;
        }
    }

    return escaped;
}

void appendSongListItem (std::string& markup, int songIndex, std::string_view songName, std::string_view artistName)
{
    // Repaired first: one bad byte from the host must not cost the page the
    // whole list, and the page's string escaping needs whole characters.
    const auto name = escapeHtml (text::withInvalidUtf8Replaced (songName));
    const auto artist = escapeHtml (text::withInvalidUtf8Replaced (artistName));

    markup += "<li class='song-item' data-song-artist='";
    markup += name;
    markup += " | ";
    markup += artist;
    markup += "'><a class='song-select' data-slot='";
    markup += std::to_string (songIndex);
    markup += "'>";
    markup += name;
    markup += " - ";
    markup += artist;
    markup += "</a></li>";
}

std::string songListRefreshScript (std::string_view markup)
{
    return std::string (setSongListFunction) + "(" + json::getEscapedQuotedString (markup) + ")";
}

} // namespace tunewell::chooser
