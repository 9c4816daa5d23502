#pragma once

// The chooser's own texts, each in one place.

namespace tunewell::chooser
{

inline constexpr const char* productDescriptionXml =
    "<Library><Product Name=\"Tunewell\" Version=\"1.1.0\" BuildDate=\"06/09/2023\"></Product> "
    "<Description>Demo Tunewell extension that uses a web based UI</Description>"
    "<ImagePath>/Path/To/ImageFile/foo.jpg</ImagePath></Library>";

inline constexpr const char* menuEntries[] = { "Show Tunewell" };
inline constexpr int menuEntryCount = sizeof (menuEntries) / sizeof (menuEntries[0]);

inline constexpr const char* showWidgetName = "showTunewell";

/// Host events the chooser asks for, in the order it registers them.
inline constexpr const char* hostCallbacks[] = { "OnWidgetValueChanged", "OnModeChanged", "OnSetlistChanged" };

/// The mode the host reports once its setlist view is active.
inline constexpr int setlistMode = 1;

/// Page functions served by the native side, in binding order.
inline constexpr const char* getSongListFunction = "getSongListFromVantor";
inline constexpr const char* closeChooserFunction = "closeSongSelector";
inline constexpr const char* selectSongFunction = "selectSong";

/// The page function that replaces the song list.
inline constexpr const char* setSongListFunction = "setSongList";

} // namespace tunewell::chooser
