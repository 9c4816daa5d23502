#pragma once

#include <string>
#include <string_view>

namespace tunewell::chooser
{

/// The text with & < > " ' written as HTML character references, so that
/// it reads as itself in element text and in quoted attribute values.
std::string escapeHtml (std::string_view text);

/// Appends the list item of one song: a bar showing "name - artist" whose
/// link carries the song's index. Names are taken as UTF-8 and escaped.
void appendSongListItem (std::string& markup, int songIndex, std::string_view songName, std::string_view artistName);

/// The script that hands new list markup to the page, with the markup as
/// one ASCII-only string literal.
std::string songListRefreshScript (std::string_view markup);

} // namespace tunewell::chooser
