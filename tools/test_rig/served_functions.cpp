// The 102 functions the test host serves. Each logs its call, then answers
// from the host's state the way Vantor would.

#include <algorithm>
#include <cstring>
#include <sstream>
#include <unordered_map>

#include "host_sdk/host_functions.h"
#include "test_host.h"

namespace tunewell::testrig
{

namespace
{

TestHost& hostOf (void* handle)
{
    return *static_cast<TestHost*> (handle);
}

std::string text (const char* s)
{
    return s != nullptr ? std::string (s) : std::string ("(null)");
}
std::string text (int value)
{
    return std::to_string (value);
}
std::string text (bool value)
{
    return value ? "true" : "false";
}

std::string text (double value)
{
    std::ostringstream out;
    out.precision (17);
    out << value;
    return out.str();
}

std::string hexBytes (const unsigned char* data, int length)
{
    static constexpr char digits[] = "0123456789abcdef";
    std::string hex;

    for (int i = 0; data != nullptr && i < length; ++i)
    {
        if (i > 0)
            hex += ' ';

        hex += digits[data[i] >> 4];
        hex += digits[data[i] & 15];
    }

    return hex;
}

/// Writes as a well-behaved host does: at most size - 1 bytes and a zero.
int writeText (const std::string& value, char* buffer, int size)
{
    if (buffer == nullptr || size <= 0)
        return 0;

    auto length = std::min (value.size(), static_cast<size_t> (size - 1));
    std::memcpy (buffer, value.data(), length);
    buffer[length] = '\0';
    return static_cast<int> (length);
}

template <typename Item>
const Item* itemAt (const std::vector<Item>& items, int index)
{
    return index >= 0 && static_cast<size_t> (index) < items.size() ? &items[static_cast<size_t> (index)] : nullptr;
}

Widget* widgetOf (TestHost& host, const char* name)
{
    auto found = host.widgets.find (name != nullptr ? name : "");
    return found != host.widgets.end() ? &found->second : nullptr;
}

Plugin* pluginOf (TestHost& host, const char* name)
{
    auto found = host.plugins.find (name != nullptr ? name : "");
    return found != host.plugins.end() ? &found->second : nullptr;
}

template <typename Map>
int writeNameList (TestHost& host, const Map& items, char* buffer, int size)
{
    if (host.scriptedListAnswer)
    {
        writeText (host.scriptedListAnswer->first, buffer, size);
        return host.scriptedListAnswer->second;
    }

    std::string list;

    for (auto& item : items)
        list += item.first + "\n";

    writeText (list, buffer, size);
    return static_cast<int> (items.size());
}

// Views, transport and tools.
void serveConsoleLog (void* h, const char* s)
{
    hostOf (h).record ("Vantor_ConsoleLog", { text (s) });
}
int serveGetPathToMe (void* h, char* b, int n)
{
    auto& host = hostOf (h);
    host.record ("Vantor_GetPathToMe", { text (n) });
    return writeText (host.pathToMe, b, n);
}
void serveSwitchToSetlistView (void* h)
{
    auto& host = hostOf (h);
    host.record ("Vantor_SwitchToSetlistView", {});
    host.setlistMode = true;
}
void serveSwitchToWiringView (void* h)
{
    auto& host = hostOf (h);
    host.record ("Vantor_SwitchToWiringView", {});
    host.setlistMode = false;
}
void serveSwitchToPanelView (void* h)
{
    auto& host = hostOf (h);
    host.record ("Vantor_SwitchToPanelView", {});
    host.setlistMode = false;
}
void serveSetPlayheadState (void* h, bool v)
{
    auto& host = hostOf (h);
    host.record ("Vantor_SetPlayheadState", { text (v) });
    host.playing = v;
}
bool serveGetPlayheadState (void* h)
{
    auto& host = hostOf (h);
    host.record ("Vantor_GetPlayheadState", {});
    return host.playing;
}
void serveShowTuner (void* h, bool v)
{
    auto& host = hostOf (h);
    host.record ("Vantor_ShowTuner", { text (v) });
    host.tunerShowing = v;
}
bool serveTunerShowing (void* h)
{
    auto& host = hostOf (h);
    host.record ("Vantor_TunerShowing", {});
    return host.tunerShowing;
}
void serveEnableMetronome (void* h, bool v)
{
    auto& host = hostOf (h);
    host.record ("Vantor_EnableMetronome", { text (v) });
    host.metronomeEnabled = v;
}
bool serveMetronomeEnabled (void* h)
{
    auto& host = hostOf (h);
    host.record ("Vantor_MetronomeEnabled", {});
    return host.metronomeEnabled;
}

// Plugins.
int serveGetPluginList (void* h, char* b, int n, bool f)
{
    auto& host = hostOf (h);
    host.record ("Vantor_GetPluginList", { text (n), text (f) });
    return writeNameList (host, host.plugins, b, n);
}

bool servePluginExists (void* h, const char* p, bool f)
{
    auto& host = hostOf (h);
    host.record ("Vantor_PluginExists", { text (p), text (f) });
    return pluginOf (host, p) != nullptr;
}

void serveSetPluginParameter (void* h, const char* p, int i, double v, bool f)
{
    auto& host = hostOf (h);
    host.record ("Vantor_SetPluginParameter", { text (p), text (i), text (v), text (f) });

    if (auto* plugin = pluginOf (host, p);
        plugin != nullptr && i >= 0 && static_cast<size_t> (i) < plugin->parameterValues.size())
        plugin->parameterValues[static_cast<size_t> (i)] = v;
}

double serveGetPluginParameter (void* h, const char* p, int i, bool f)
{
    auto& host = hostOf (h);
    host.record ("Vantor_GetPluginParameter", { text (p), text (i), text (f) });
    auto* plugin = pluginOf (host, p);
    auto* value = plugin != nullptr ? itemAt (plugin->parameterValues, i) : nullptr;
    return value != nullptr ? *value : 0.0;
}

int serveGetPluginParameterCount (void* h, const char* p, bool f)
{
    auto& host = hostOf (h);
    host.record ("Vantor_GetPluginParameterCount", { text (p), text (f) });
    auto* plugin = pluginOf (host, p);
    return plugin != nullptr ? static_cast<int> (plugin->parameterNames.size()) : 0;
}

int serveGetPluginParameterName (void* h, const char* p, int i, char* b, int n, bool f)
{
    auto& host = hostOf (h);
    host.record ("Vantor_GetPluginParameterName", { text (p), text (i), text (n), text (f) });
    auto* plugin = pluginOf (host, p);
    auto* name = plugin != nullptr ? itemAt (plugin->parameterNames, i) : nullptr;
    return name != nullptr ? writeText (*name, b, n) : 0;
}

int serveGetPluginParameterText (void* h, const char* p, int i, char* b, int n, bool f)
{
    auto& host = hostOf (h);
    host.record ("Vantor_GetPluginParameterText", { text (p), text (i), text (n), text (f) });
    auto* plugin = pluginOf (host, p);
    auto* value = plugin != nullptr ? itemAt (plugin->parameterValues, i) : nullptr;
    return value != nullptr ? writeText (text (*value), b, n) : 0;
}

int serveGetPluginCaption (void* h, const char* p, char* b, int n, bool f)
{
    auto& host = hostOf (h);
    host.record ("Vantor_GetPluginCaption", { text (p), text (n), text (f) });
    auto* plugin = pluginOf (host, p);
    return plugin != nullptr ? writeText (plugin->caption, b, n) : 0;
}

int serveGetPluginName (void* h, const char* p, char* b, int n, bool f)
{
    auto& host = hostOf (h);
    host.record ("Vantor_GetPluginName", { text (p), text (n), text (f) });
    auto* plugin = pluginOf (host, p);
    return plugin != nullptr ? writeText (plugin->name, b, n) : 0;
}

void serveMapWidgetToPluginParameter (void* h, const char* w, const char* p, int i, bool f)
{
    hostOf (h).record ("Vantor_MapWidgetToPluginParameter", { text (w), text (p), text (i), text (f) });
}

// Widgets.
int serveGetWidgetList (void* h, char* b, int n, bool f)
{
    auto& host = hostOf (h);
    host.record ("Vantor_GetWidgetList", { text (n), text (f) });
    return writeNameList (host, host.widgets, b, n);
}

bool serveWidgetExists (void* h, const char* w)
{
    auto& host = hostOf (h);
    host.record ("Vantor_WidgetExists", { text (w) });
    return widgetOf (host, w) != nullptr;
}

double serveGetWidgetValue (void* h, const char* w)
{
    auto& host = hostOf (h);
    host.record ("Vantor_GetWidgetValue", { text (w) });
    auto* widget = widgetOf (host, w);
    return widget != nullptr ? widget->value : 0.0;
}

int serveGetWidgetTextValue (void* h, const char* w, char* b, int n)
{
    auto& host = hostOf (h);
    host.record ("Vantor_GetWidgetTextValue", { text (w), text (n) });
    auto* widget = widgetOf (host, w);
    return widget != nullptr ? writeText (widget->textValue, b, n) : 0;
}

bool serveSetWidgetValue (void* h, const char* w, double v)
{
    auto& host = hostOf (h);
    host.record ("Vantor_SetWidgetValue", { text (w), text (v) });
    auto* widget = widgetOf (host, w);

    if (widget != nullptr)
        widget->value = v;

    return widget != nullptr;
}

bool serveSetWidgetCaption (void* h, const char* w, const char* c)
{
    auto& host = hostOf (h);
    host.record ("Vantor_SetWidgetCaption", { text (w), text (c) });
    auto* widget = widgetOf (host, w);

    if (widget != nullptr)
        widget->caption = c != nullptr ? c : "";

    return widget != nullptr;
}

int serveGetWidgetCaption (void* h, const char* w, char* b, int n)
{
    auto& host = hostOf (h);
    host.record ("Vantor_GetWidgetCaption", { text (w), text (n) });
    auto* widget = widgetOf (host, w);
    return widget != nullptr ? writeText (widget->caption, b, n) : 0;
}

void serveSetWidgetHideOnPresentation (void* h, const char* w, bool v)
{
    auto& host = hostOf (h);
    host.record ("Vantor_SetWidgetHideOnPresentation", { text (w), text (v) });

    if (auto* widget = widgetOf (host, w))
        widget->hiddenOnPresentation = v;
}

bool serveGetWidgetHideState (void* h, const char* w)
{
    auto& host = hostOf (h);
    host.record ("Vantor_GetWidgetHideState", { text (w) });
    auto* widget = widgetOf (host, w);
    return widget != nullptr && widget->hiddenOnPresentation;
}

bool serveListenForWidget (void* h, const char* w, bool v)
{
    auto& host = hostOf (h);
    host.record ("Vantor_ListenForWidget", { text (w), text (v) });
    auto* widget = widgetOf (host, w);

    if (widget != nullptr)
        widget->listening = v;

    return widget != nullptr;
}

bool serveListeningForWidget (void* h, const char* w)
{
    auto& host = hostOf (h);
    host.record ("Vantor_ListeningForWidget", { text (w) });
    auto* widget = widgetOf (host, w);
    return widget != nullptr && widget->listening;
}

template <int Widget::*field>
void setWidgetField (const char* function, void* h, const char* w, int v)
{
    auto& host = hostOf (h);
    host.record (function, { text (w), text (v) });

    if (auto* widget = widgetOf (host, w))
        widget->*field = v;
}

template <int Widget::*field>
int getWidgetField (const char* function, void* h, const char* w)
{
    auto& host = hostOf (h);
    host.record (function, { text (w) });
    auto* widget = widgetOf (host, w);
    return widget != nullptr ? widget->*field : 0;
}

void serveSetWidgetFillColor (void* h, const char* w, int v)
{
    setWidgetField<&Widget::fillColor> ("Vantor_SetWidgetFillColor", h, w, v);
}
void serveSetWidgetOutlineColor (void* h, const char* w, int v)
{
    setWidgetField<&Widget::outlineColor> ("Vantor_SetWidgetOutlineColor", h, w, v);
}
void serveSetWidgetOutlineThickness (void* h, const char* w, int v)
{
    setWidgetField<&Widget::outlineThickness> ("Vantor_SetWidgetOutlineThickness", h, w, v);
}
void serveSetWidgetOutlineRoundness (void* h, const char* w, int v)
{
    setWidgetField<&Widget::outlineRoundness> ("Vantor_SetWidgetOutlineRoundness", h, w, v);
}
int serveGetWidgetFillColor (void* h, const char* w)
{
    return getWidgetField<&Widget::fillColor> ("Vantor_GetWidgetFillColor", h, w);
}
int serveGetWidgetOutlineColor (void* h, const char* w)
{
    return getWidgetField<&Widget::outlineColor> ("Vantor_GetWidgetOutlineColor", h, w);
}
int serveGetWidgetOutlineThickness (void* h, const char* w)
{
    return getWidgetField<&Widget::outlineThickness> ("Vantor_GetWidgetOutlineThickness", h, w);
}
int serveGetWidgetOutlineRoundness (void* h, const char* w)
{
    return getWidgetField<&Widget::outlineRoundness> ("Vantor_GetWidgetOutlineRoundness", h, w);
}

void serveGetWidgetBounds (void* h, const char* w, int* x, int* y, int* width, int* height)
{
    auto& host = hostOf (h);
    host.record ("Vantor_GetWidgetBounds", { text (w) });

    if (auto* widget = widgetOf (host, w))
    {
        *x = widget->x;
        *y = widget->y;
        *width = widget->width;
        *height = widget->height;
    }
}

void serveSetWidgetBounds (void* h, const char* w, int x, int y, int width, int height)
{
    auto& host = hostOf (h);
    host.record ("Vantor_SetWidgetBounds", { text (w), text (x), text (y), text (width), text (height) });

    if (auto* widget = widgetOf (host, w))
    {
        widget->x = x;
        widget->y = y;
        widget->width = width;
        widget->height = height;
    }
}

// Colours are packed as 8-bit channels, red in the top byte.
int channelByte (double channel)
{
    return static_cast<int> (std::clamp (channel, 0.0, 1.0) * 255.0 + 0.5);
}

int serveRGBAToColor (void* h, double r, double g, double b, double a)
{
    hostOf (h).record ("Vantor_RGBAToColor", { text (r), text (g), text (b), text (a) });
    auto packed = (static_cast<unsigned> (channelByte (r)) << 24) | (static_cast<unsigned> (channelByte (g)) << 16)
                | (static_cast<unsigned> (channelByte (b)) << 8) | static_cast<unsigned> (channelByte (a));
    return static_cast<int> (packed);
}

void serveColorToRGBA (void* h, int color, double* r, double* g, double* b, double* a)
{
    hostOf (h).record ("Vantor_ColorToRGBA", { text (color) });
    auto packed = static_cast<unsigned> (color);
    *r = ((packed >> 24) & 255) / 255.0;
    *g = ((packed >> 16) & 255) / 255.0;
    *b = ((packed >> 8) & 255) / 255.0;
    *a = (packed & 255) / 255.0;
}

void serveSetBPM (void* h, double v)
{
    auto& host = hostOf (h);
    host.record ("Vantor_SetBPM", { text (v) });
    host.bpm = v;
}
double serveGetBPM (void* h)
{
    auto& host = hostOf (h);
    host.record ("Vantor_GetBPM", {});
    return host.bpm;
}

void serveGetCurrentTimeSignature (void* h, int* numerator, int* denominator)
{
    auto& host = hostOf (h);
    host.record ("Vantor_GetCurrentTimeSignature", {});
    *numerator = host.timeSignatureNumerator;
    *denominator = host.timeSignatureDenominator;
}

void servePanic (void* h)
{
    hostOf (h).record ("Vantor_Panic", {});
}

// MIDI.
bool serveListenForMidi (void* h, const char* d, bool v)
{
    auto& host = hostOf (h);
    host.record ("Vantor_ListenForMidi", { text (d), text (v) });
    auto known = std::find (host.midiInDevices.begin(), host.midiInDevices.end(), text (d)) != host.midiInDevices.end();

    if (known && v)
        host.midiListening.insert (d);
    else if (known)
        host.midiListening.erase (d);

    return known;
}

bool serveListeningForMidi (void* h, const char* d)
{
    auto& host = hostOf (h);
    host.record ("Vantor_ListeningForMidi", { text (d) });
    return host.midiListening.count (text (d)) != 0;
}
int serveGetMidiInDeviceCount (void* h)
{
    auto& host = hostOf (h);
    host.record ("Vantor_GetMidiInDeviceCount", {});
    return static_cast<int> (host.midiInDevices.size());
}
int serveGetMidiOutDeviceCount (void* h)
{
    auto& host = hostOf (h);
    host.record ("Vantor_GetMidiOutDeviceCount", {});
    return static_cast<int> (host.midiOutDevices.size());
}

int serveGetMidiInDeviceName (void* h, int i, char* b, int n)
{
    auto& host = hostOf (h);
    host.record ("Vantor_GetMidiInDeviceName", { text (i), text (n) });
    auto* name = itemAt (host.midiInDevices, i);
    return name != nullptr ? writeText (*name, b, n) : 0;
}

int serveGetMidiOutDeviceName (void* h, int i, char* b, int n)
{
    auto& host = hostOf (h);
    host.record ("Vantor_GetMidiOutDeviceName", { text (i), text (n) });
    auto* name = itemAt (host.midiOutDevices, i);
    return name != nullptr ? writeText (*name, b, n) : 0;
}

int serveTextToHexString (void* h, const char* s, char* b, int n)
{
    hostOf (h).record ("Vantor_TextToHexString", { text (s), text (n) });
    std::string bytes = s != nullptr ? s : "";
    return writeText (hexBytes (reinterpret_cast<const unsigned char*> (bytes.data()), static_cast<int> (bytes.size())),
                      b, n);
}

void serveSendMidiMessageToMidiOutDevice (void* h, const char* d, const unsigned char* data, int length)
{
    hostOf (h).record ("Vantor_SendMidiMessageToMidiOutDevice", { text (d), hexBytes (data, length), text (length) });
}

void serveInjectMidiMessageToMidiInputDevice (void* h, const char* d, const unsigned char* data, int length)
{
    hostOf (h).record ("Vantor_InjectMidiMessageToMidiInputDevice",
                       { text (d), hexBytes (data, length), text (length) });
}

void serveInjectMidiMessageToMidiInputAlias (void* h, const char* d, const unsigned char* data, int length)
{
    hostOf (h).record ("Vantor_InjectMidiMessageToMidiInputAlias",
                       { text (d), hexBytes (data, length), text (length) });
}

// Songs and song parts.
int serveGetSongCount (void* h)
{
    auto& host = hostOf (h);
    host.record ("Vantor_GetSongCount", {});
    return static_cast<int> (host.songs.size());
}

template <std::string Song::*field>
int writeSongField (const char* function, void* h, int i, char* b, int n)
{
    auto& host = hostOf (h);
    host.record (function, { text (i), text (n) });
    auto* song = itemAt (host.songs, i);
    return song != nullptr ? writeText (song->*field, b, n) : 0;
}

int serveGetSongName (void* h, int i, char* b, int n)
{
    return writeSongField<&Song::name> ("Vantor_GetSongName", h, i, b, n);
}
int serveGetArtistName (void* h, int i, char* b, int n)
{
    return writeSongField<&Song::artist> ("Vantor_GetArtistName", h, i, b, n);
}
int serveGetChordProFilenameForSong (void* h, int i, char* b, int n)
{
    return writeSongField<&Song::chordProFile> ("Vantor_GetChordProFilenameForSong", h, i, b, n);
}
int serveGetSongUuid (void* h, int i, char* b, int n)
{
    return writeSongField<&Song::uuid> ("Vantor_GetSongUuid", h, i, b, n);
}
int serveGetCurrentSongIndex (void* h)
{
    auto& host = hostOf (h);
    host.record ("Vantor_GetCurrentSongIndex", {});
    return host.currentSong;
}

const SongPart* songPartOf (TestHost& host, int song, int part)
{
    auto* found = itemAt (host.songs, song);
    return found != nullptr ? itemAt (found->parts, part) : nullptr;
}

int serveGetVariationNameForSongPart (void* h, int s, int p, char* b, int n)
{
    auto& host = hostOf (h);
    host.record ("Vantor_GetVariationNameForSongPart", { text (s), text (p), text (n) });
    auto* part = songPartOf (host, s, p);
    return part != nullptr ? writeText (part->variationName, b, n) : 0;
}

int serveGetSongpartCount (void* h, int s)
{
    auto& host = hostOf (h);
    host.record ("Vantor_GetSongpartCount", { text (s) });
    auto* song = itemAt (host.songs, s);
    return song != nullptr ? static_cast<int> (song->parts.size()) : 0;
}

int serveGetSongpartName (void* h, int s, int p, char* b, int n)
{
    auto& host = hostOf (h);
    host.record ("Vantor_GetSongpartName", { text (s), text (p), text (n) });
    auto* part = songPartOf (host, s, p);
    return part != nullptr ? writeText (part->name, b, n) : 0;
}

int serveGetCurrentSongpartIndex (void* h)
{
    auto& host = hostOf (h);
    host.record ("Vantor_GetCurrentSongpartIndex", {});
    return host.currentSongPart;
}
bool serveInSetlistMode (void* h)
{
    auto& host = hostOf (h);
    host.record ("Vantor_InSetlistMode", {});
    return host.setlistMode;
}

bool serveSwitchToSong (void* h, int s, int p)
{
    auto& host = hostOf (h);
    host.record ("Vantor_SwitchToSong", { text (s), text (p) });

    if (itemAt (host.songs, s) == nullptr)
        return false;

    host.currentSong = s;
    host.currentSongPart = p;
    return true;
}

bool serveSwitchToSongPart (void* h, int p)
{
    auto& host = hostOf (h);
    host.record ("Vantor_SwitchToSongPart", { text (p) });

    if (songPartOf (host, host.currentSong, p) == nullptr)
        return false;

    host.currentSongPart = p;
    return true;
}

// Setlists.
int serveGetSetlistCount (void* h)
{
    auto& host = hostOf (h);
    host.record ("Vantor_GetSetlistCount", {});
    return static_cast<int> (host.setlists.size());
}

int serveGetSetlistName (void* h, int i, char* b, int n)
{
    auto& host = hostOf (h);
    host.record ("Vantor_GetSetlistName", { text (i), text (n) });
    auto* name = itemAt (host.setlists, i);
    return name != nullptr ? writeText (*name, b, n) : 0;
}

int serveGetCurrentSetlistIndex (void* h)
{
    auto& host = hostOf (h);
    host.record ("Vantor_GetCurrentSetlistIndex", {});
    return host.currentSetlist;
}

bool serveSwitchToSetlist (void* h, int i)
{
    auto& host = hostOf (h);
    host.record ("Vantor_SwitchToSetlist", { text (i) });

    if (itemAt (host.setlists, i) == nullptr)
        return false;

    host.currentSetlist = i;
    return true;
}

void serveScriptLog (void* h, const char* s, bool f)
{
    hostOf (h).record ("Vantor_ScriptLog", { text (s), text (f) });
}
int serveGetInstanceName (void* h, char* b, int n)
{
    auto& host = hostOf (h);
    host.record ("Vantor_GetInstanceName", { text (n) });
    return writeText (host.instanceName, b, n);
}

// Rackspaces and variations.
int serveGetRackspaceCount (void* h)
{
    auto& host = hostOf (h);
    host.record ("Vantor_GetRackspaceCount", {});
    return static_cast<int> (host.rackspaces.size());
}

int serveGetRackspaceName (void* h, int i, char* b, int n)
{
    auto& host = hostOf (h);
    host.record ("Vantor_GetRackspaceName", { text (i), text (n) });
    auto* rackspace = itemAt (host.rackspaces, i);
    return rackspace != nullptr ? writeText (rackspace->name, b, n) : 0;
}

int serveGetCurrentRackspaceIndex (void* h)
{
    auto& host = hostOf (h);
    host.record ("Vantor_GetCurrentRackspaceIndex", {});
    return host.currentRackspace;
}

int serveGetRackspaceUuid (void* h, int i, char* b, int n)
{
    auto& host = hostOf (h);
    host.record ("Vantor_GetRackspaceUuid", { text (i), text (n) });
    auto* rackspace = itemAt (host.rackspaces, i);
    return rackspace != nullptr ? writeText (rackspace->uuid, b, n) : 0;
}

int serveGetCurrentVariationIndex (void* h)
{
    auto& host = hostOf (h);
    host.record ("Vantor_GetCurrentVariationIndex", {});
    return host.currentVariation;
}

int serveGetVariationCount (void* h, int i)
{
    auto& host = hostOf (h);
    host.record ("Vantor_GetVariationCount", { text (i) });
    auto* rackspace = itemAt (host.rackspaces, i);
    return rackspace != nullptr ? static_cast<int> (rackspace->variations.size()) : 0;
}

int serveGetVariationName (void* h, int r, int v, char* b, int n)
{
    auto& host = hostOf (h);
    host.record ("Vantor_GetVariationName", { text (r), text (v), text (n) });
    auto* rackspace = itemAt (host.rackspaces, r);
    auto* name = rackspace != nullptr ? itemAt (rackspace->variations, v) : nullptr;
    return name != nullptr ? writeText (*name, b, n) : 0;
}

bool switchRackspace (TestHost& host, int rackspaceIndex, int variation)
{
    if (rackspaceIndex == -1)
        rackspaceIndex = host.currentRackspace;

    auto* rackspace = itemAt (host.rackspaces, rackspaceIndex);

    if (rackspace == nullptr || itemAt (rackspace->variations, variation) == nullptr)
        return false;

    host.currentRackspace = rackspaceIndex;
    host.currentVariation = variation;
    return true;
}

bool serveSwitchToRackspace (void* h, int r, int v)
{
    auto& host = hostOf (h);
    host.record ("Vantor_SwitchToRackspace", { text (r), text (v) });
    return switchRackspace (host, r, v);
}

bool serveSwitchToRackspaceName (void* h, const char* r, const char* v)
{
    auto& host = hostOf (h);
    host.record ("Vantor_SwitchToRackspaceName", { text (r), text (v) });

    for (size_t i = 0; i < host.rackspaces.size(); ++i)
    {
        if (host.rackspaces[i].name != text (r))
            continue;

        auto& variations = host.rackspaces[i].variations;
        auto variation = v == nullptr ? variations.begin()
                                      : std::find (variations.begin(), variations.end(), std::string (v));
        return switchRackspace (host, static_cast<int> (i), static_cast<int> (variation - variations.begin()));
    }

    return false;
}

bool serveSaveGigUnconditionally (void* h, bool f)
{
    hostOf (h).record ("Vantor_SaveGigUnconditionally", { text (f) });
    return true;
}
bool serveLoadGigByIndex (void* h, int i)
{
    hostOf (h).record ("Vantor_LoadGigByIndex", { text (i) });
    return i >= 0;
}
void serveTap (void* h)
{
    hostOf (h).record ("Vantor_Tap", {});
}
void servePrevious (void* h)
{
    hostOf (h).record ("Vantor_Previous", {});
}
void serveNext (void* h)
{
    hostOf (h).record ("Vantor_Next", {});
}

bool serveResetWidgetToDefault (void* h, const char* w, double v)
{
    auto& host = hostOf (h);
    host.record ("Vantor_ResetWidgetToDefault", { text (w), text (v) });
    auto* widget = widgetOf (host, w);

    if (widget != nullptr)
        widget->value = v;

    return widget != nullptr;
}

bool serveRegisterCallback (void* h, const char* name)
{
    auto& host = hostOf (h);
    host.record ("Vantor_RegisterCallback", { text (name) });
    host.callbacks.push_back (text (name));
    return true;
}

bool serveUnregisterCallback (void* h, const char* name)
{
    auto& host = hostOf (h);
    host.record ("Vantor_UnregisterCallback", { text (name) });
    auto found = std::find (host.callbacks.begin(), host.callbacks.end(), text (name));

    if (found == host.callbacks.end())
        return false;

    host.callbacks.erase (found);
    return true;
}

// The script engine's stack: the library never calls these; they answer empty.
int serveVM_PopInteger (void* h)
{
    hostOf (h).record ("Vantor_VM_PopInteger", {});
    return 0;
}
void serveVM_PushInteger (void* h, int v)
{
    hostOf (h).record ("Vantor_VM_PushInteger", { text (v) });
}
double serveVM_PopDouble (void* h)
{
    hostOf (h).record ("Vantor_VM_PopDouble", {});
    return 0.0;
}
void serveVM_PushDouble (void* h, double v)
{
    hostOf (h).record ("Vantor_VM_PushDouble", { text (v) });
}
int serveVM_PopString (void* h, char* b, int n)
{
    hostOf (h).record ("Vantor_VM_PopString", { text (n) });
    return writeText ({}, b, n);
}
void serveVM_PushString (void* h, const char* s)
{
    hostOf (h).record ("Vantor_VM_PushString", { text (s) });
}
bool serveVM_PopBoolean (void* h)
{
    hostOf (h).record ("Vantor_VM_PopBoolean", {});
    return false;
}
void serveVM_PushBoolean (void* h, bool v)
{
    hostOf (h).record ("Vantor_VM_PushBoolean", { text (v) });
}

struct ServedFunction
{
    std::string name;
    void* address;
};

template <typename Function>
void* addressOf (Function function)
{
    return reinterpret_cast<void*> (function);
}

// The casts check at compile time that every served function has exactly
// the signature the library's table expects.
const std::vector<ServedFunction>& servedFunctions()
{
#define TUNEWELL_SERVED_FUNCTION(name, result, parameters) \
    { "Vantor_" #name, addressOf (static_cast<vantor::sdk::Vantor_##name##_Function> (&serve##name)) },
    static const std::vector<ServedFunction> functions { TUNEWELL_VANTOR_HOST_FUNCTIONS (TUNEWELL_SERVED_FUNCTION) };
#undef TUNEWELL_SERVED_FUNCTION
    return functions;
}

} // namespace

void* TestHost::lookup (void* hostHandle, const char* functionName)
{
    auto& host = hostOf (hostHandle);
    const std::string name = functionName != nullptr ? functionName : "";
    host.lookups.push_back (name);

    if (host.removeEveryFunction || host.removedFunctions.count (name) != 0)
        return nullptr;

    for (auto& function : servedFunctions())
        if (function.name == name)
            return function.address;

    return nullptr;
}

const std::vector<std::string>& servedFunctionNames()
{
    static const std::vector<std::string> names = [] {
        std::vector<std::string> result;

        for (auto& function : servedFunctions())
            result.push_back (function.name);

        return result;
    }();

    return names;
}

} // namespace tunewell::testrig
