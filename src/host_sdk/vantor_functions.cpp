#include "host_sdk/vantor_functions.h"

#include <algorithm>

#include "host_sdk/host_functions.h"

namespace vantor::sdk
{

namespace
{

constexpr int stringResultSize = 1024;
constexpr int pathResultSize = 10000;
constexpr int listResultSize = 150000;

/// Calls a host function, or gives the neutral result when the host did
/// not supply it or the extension has been closed.
template <typename Result, typename... Parameters, typename... Arguments>
Result callHost (bool connected, Result (*function) (Parameters...), Arguments... arguments)
{
    if (! connected || function == nullptr)
        return Result();

    return function (arguments...);
}

/// Lets the host fill a zeroed buffer and takes the text before the first
/// zero byte; a host that writes nothing gives an empty string, and one that
/// fills the whole buffer without a terminator cannot make us read past it.
template <typename Fill>
std::string readHostString (int size, Fill&& fill)
{
    std::string buffer (static_cast<size_t> (size), '\0');
    fill (buffer.data(), size);
    buffer.erase (std::find (buffer.begin(), buffer.end(), '\0'), buffer.end());
    return buffer;
}

void splitLines (const std::string& text, std::vector<std::string>& lines)
{
    size_t start = 0;

    while (start < text.size())
    {
        auto end = text.find ('\n', start);

        if (end == std::string::npos)
            end = text.size();

        lines.push_back (text.substr (start, end - start));
        start = end + 1;
    }
}

void readHostList (std::vector<std::string>& names, Vantor_GetPluginList_Function function, bool connected,
                   void* hostHandle, bool flag)
{
    names.clear();

    // The answer can be large, so its buffer lives on the heap.
    int answer = 0;
    auto text = readHostString (listResultSize, [&] (char* buffer, int size) {
        answer = callHost (connected, function, hostHandle, buffer, size, flag);
    });

    if (answer > 0)
        splitLines (text, names);
}

int lengthOf (const std::string& bytes)
{
    return static_cast<int> (bytes.size());
}

const unsigned char* bytesOf (const std::string& bytes)
{
    return reinterpret_cast<const unsigned char*> (bytes.data());
}

} // namespace

VantorFunctions::VantorFunctions (void* handle) : hostHandle (handle) {}
VantorFunctions::~VantorFunctions() = default;

int VantorFunctions::getSongCount()
{
    return callHost (hostConnected, Vantor_GetSongCount, hostHandle);
}

std::string VantorFunctions::getSongName (int song)
{
    return readHostString (stringResultSize, [&] (char* buffer, int size) {
        callHost (hostConnected, Vantor_GetSongName, hostHandle, song, buffer, size);
    });
}

std::string VantorFunctions::getArtistName (int song)
{
    return readHostString (stringResultSize, [&] (char* buffer, int size) {
        callHost (hostConnected, Vantor_GetArtistName, hostHandle, song, buffer, size);
    });
}

std::string VantorFunctions::getSongUuid (int song)
{
    return readHostString (stringResultSize, [&] (char* buffer, int size) {
        callHost (hostConnected, Vantor_GetSongUuid, hostHandle, song, buffer, size);
    });
}

std::string VantorFunctions::getChordProFilenameForSong (int song)
{
    return readHostString (stringResultSize, [&] (char* buffer, int size) {
        callHost (hostConnected, Vantor_GetChordProFilenameForSong, hostHandle, song, buffer, size);
    });
}

int VantorFunctions::getCurrentSongIndex()
{
    return callHost (hostConnected, Vantor_GetCurrentSongIndex, hostHandle);
}
bool VantorFunctions::switchToSong (int song, int part)
{
    return callHost (hostConnected, Vantor_SwitchToSong, hostHandle, song, part);
}
int VantorFunctions::getSongpartCount (int song)
{
    return callHost (hostConnected, Vantor_GetSongpartCount, hostHandle, song);
}

std::string VantorFunctions::getSongpartName (int song, int part)
{
    return readHostString (stringResultSize, [&] (char* buffer, int size) {
        callHost (hostConnected, Vantor_GetSongpartName, hostHandle, song, part, buffer, size);
    });
}

int VantorFunctions::getCurrentSongpartIndex()
{
    return callHost (hostConnected, Vantor_GetCurrentSongpartIndex, hostHandle);
}
bool VantorFunctions::switchToSongPart (int part)
{
    return callHost (hostConnected, Vantor_SwitchToSongPart, hostHandle, part);
}

std::string VantorFunctions::getVariationNameForSongPart (int song, int part)
{
    return readHostString (stringResultSize, [&] (char* buffer, int size) {
        callHost (hostConnected, Vantor_GetVariationNameForSongPart, hostHandle, song, part, buffer, size);
    });
}

bool VantorFunctions::inSetlistMode()
{
    return callHost (hostConnected, Vantor_InSetlistMode, hostHandle);
}
int VantorFunctions::getSetlistCount()
{
    return callHost (hostConnected, Vantor_GetSetlistCount, hostHandle);
}

std::string VantorFunctions::getSetlistName (int setlist)
{
    return readHostString (stringResultSize, [&] (char* buffer, int size) {
        callHost (hostConnected, Vantor_GetSetlistName, hostHandle, setlist, buffer, size);
    });
}

int VantorFunctions::getCurrentSetlistIndex()
{
    return callHost (hostConnected, Vantor_GetCurrentSetlistIndex, hostHandle);
}
bool VantorFunctions::switchToSetlist (int setlist)
{
    return callHost (hostConnected, Vantor_SwitchToSetlist, hostHandle, setlist);
}
int VantorFunctions::getRackspaceCount()
{
    return callHost (hostConnected, Vantor_GetRackspaceCount, hostHandle);
}

std::string VantorFunctions::getRackspaceName (int rackspace)
{
    return readHostString (stringResultSize, [&] (char* buffer, int size) {
        callHost (hostConnected, Vantor_GetRackspaceName, hostHandle, rackspace, buffer, size);
    });
}

std::string VantorFunctions::getRackspaceUuid (int rackspace)
{
    return readHostString (stringResultSize, [&] (char* buffer, int size) {
        callHost (hostConnected, Vantor_GetRackspaceUuid, hostHandle, rackspace, buffer, size);
    });
}

int VantorFunctions::getCurrentRackspaceIndex()
{
    return callHost (hostConnected, Vantor_GetCurrentRackspaceIndex, hostHandle);
}

bool VantorFunctions::switchToRackspace (int rackspace, int variation)
{
    return callHost (hostConnected, Vantor_SwitchToRackspace, hostHandle, rackspace, variation);
}

bool VantorFunctions::switchToRackspaceName (const std::string& rackspace, const std::string& variation)
{
    const char* variationOrNull = variation.empty() ? nullptr : variation.c_str();
    return callHost (hostConnected, Vantor_SwitchToRackspaceName, hostHandle, rackspace.c_str(), variationOrNull);
}

int VantorFunctions::getVariationCount (int rackspace)
{
    return callHost (hostConnected, Vantor_GetVariationCount, hostHandle, rackspace);
}

std::string VantorFunctions::getVariationName (int rackspace, int variation)
{
    return readHostString (stringResultSize, [&] (char* buffer, int size) {
        callHost (hostConnected, Vantor_GetVariationName, hostHandle, rackspace, variation, buffer, size);
    });
}

int VantorFunctions::getCurrentVariationIndex()
{
    return callHost (hostConnected, Vantor_GetCurrentVariationIndex, hostHandle);
}

bool VantorFunctions::switchToVariation (int variation)
{
    // Rackspace -1 is the host's name for the current rackspace.
    return callHost (hostConnected, Vantor_SwitchToRackspace, hostHandle, -1, variation);
}

bool VantorFunctions::loadGigByIndex (int gig)
{
    return callHost (hostConnected, Vantor_LoadGigByIndex, hostHandle, gig);
}
bool VantorFunctions::saveGigUnconditionally (bool flag)
{
    return callHost (hostConnected, Vantor_SaveGigUnconditionally, hostHandle, flag);
}

void VantorFunctions::switchToSetlistView()
{
    callHost (hostConnected, Vantor_SwitchToSetlistView, hostHandle);
}
void VantorFunctions::switchToWiringView()
{
    callHost (hostConnected, Vantor_SwitchToWiringView, hostHandle);
}
void VantorFunctions::switchToPanelView()
{
    callHost (hostConnected, Vantor_SwitchToPanelView, hostHandle);
}
void VantorFunctions::next()
{
    callHost (hostConnected, Vantor_Next, hostHandle);
}
void VantorFunctions::previous()
{
    callHost (hostConnected, Vantor_Previous, hostHandle);
}
void VantorFunctions::panic()
{
    callHost (hostConnected, Vantor_Panic, hostHandle);
}
void VantorFunctions::tap()
{
    callHost (hostConnected, Vantor_Tap, hostHandle);
}
void VantorFunctions::setPlayheadState (bool playing)
{
    callHost (hostConnected, Vantor_SetPlayheadState, hostHandle, playing);
}
bool VantorFunctions::getPlayheadState()
{
    return callHost (hostConnected, Vantor_GetPlayheadState, hostHandle);
}
void VantorFunctions::showTuner (bool show)
{
    callHost (hostConnected, Vantor_ShowTuner, hostHandle, show);
}
bool VantorFunctions::tunerShowing()
{
    return callHost (hostConnected, Vantor_TunerShowing, hostHandle);
}
void VantorFunctions::enableMetronome (bool enable)
{
    callHost (hostConnected, Vantor_EnableMetronome, hostHandle, enable);
}
bool VantorFunctions::metronomeEnabled()
{
    return callHost (hostConnected, Vantor_MetronomeEnabled, hostHandle);
}
void VantorFunctions::setBPM (double bpm)
{
    callHost (hostConnected, Vantor_SetBPM, hostHandle, bpm);
}
double VantorFunctions::getBPM()
{
    return callHost (hostConnected, Vantor_GetBPM, hostHandle);
}

void VantorFunctions::getCurrentTimeSignature (int& numerator, int& denominator)
{
    callHost (hostConnected, Vantor_GetCurrentTimeSignature, hostHandle, &numerator, &denominator);
}

std::string VantorFunctions::getInstanceName()
{
    return readHostString (stringResultSize, [&] (char* buffer, int size) {
        callHost (hostConnected, Vantor_GetInstanceName, hostHandle, buffer, size);
    });
}

std::string VantorFunctions::getPathToMe()
{
    return readHostString (pathResultSize, [&] (char* buffer, int size) {
        callHost (hostConnected, Vantor_GetPathToMe, hostHandle, buffer, size);
    });
}

void VantorFunctions::consoleLog (const std::string& text)
{
    callHost (hostConnected, Vantor_ConsoleLog, hostHandle, text.c_str());
}
void VantorFunctions::consoleLog (const char* text)
{
    callHost (hostConnected, Vantor_ConsoleLog, hostHandle, text);
}
void VantorFunctions::scriptLog (const std::string& text, bool flag)
{
    callHost (hostConnected, Vantor_ScriptLog, hostHandle, text.c_str(), flag);
}
void VantorFunctions::scriptLog (const char* text, bool flag)
{
    callHost (hostConnected, Vantor_ScriptLog, hostHandle, text, flag);
}

std::string VantorFunctions::textToHexString (const std::string& text)
{
    return readHostString (stringResultSize, [&] (char* buffer, int size) {
        callHost (hostConnected, Vantor_TextToHexString, hostHandle, text.c_str(), buffer, size);
    });
}

bool VantorFunctions::registerCallback (const std::string& name)
{
    return callHost (hostConnected, Vantor_RegisterCallback, hostHandle, name.c_str());
}
bool VantorFunctions::unregisterCallback (const std::string& name)
{
    return callHost (hostConnected, Vantor_UnregisterCallback, hostHandle, name.c_str());
}

void VantorFunctions::ColorToRGBA (int color, double& r, double& g, double& b, double& a)
{
    callHost (hostConnected, Vantor_ColorToRGBA, hostHandle, color, &r, &g, &b, &a);
}

int VantorFunctions::RGBAToColor (double r, double g, double b, double a)
{
    return callHost (hostConnected, Vantor_RGBAToColor, hostHandle, r, g, b, a);
}

bool VantorFunctions::widgetExists (const std::string& name)
{
    return callHost (hostConnected, Vantor_WidgetExists, hostHandle, name.c_str());
}
double VantorFunctions::getWidgetValue (const std::string& name)
{
    return callHost (hostConnected, Vantor_GetWidgetValue, hostHandle, name.c_str());
}

bool VantorFunctions::setWidgetValue (const std::string& name, double value)
{
    return callHost (hostConnected, Vantor_SetWidgetValue, hostHandle, name.c_str(), value);
}

bool VantorFunctions::resetWidgetToDefault (const std::string& name, double value)
{
    return callHost (hostConnected, Vantor_ResetWidgetToDefault, hostHandle, name.c_str(), value);
}

std::string VantorFunctions::getWidgetTextValue (const std::string& name)
{
    return readHostString (stringResultSize, [&] (char* buffer, int size) {
        callHost (hostConnected, Vantor_GetWidgetTextValue, hostHandle, name.c_str(), buffer, size);
    });
}

std::string VantorFunctions::getWidgetCaption (const std::string& name)
{
    return readHostString (stringResultSize, [&] (char* buffer, int size) {
        callHost (hostConnected, Vantor_GetWidgetCaption, hostHandle, name.c_str(), buffer, size);
    });
}

bool VantorFunctions::setWidgetCaption (const std::string& name, const std::string& caption)
{
    return callHost (hostConnected, Vantor_SetWidgetCaption, hostHandle, name.c_str(), caption.c_str());
}

bool VantorFunctions::getWidgetHideState (const std::string& name)
{
    return callHost (hostConnected, Vantor_GetWidgetHideState, hostHandle, name.c_str());
}

void VantorFunctions::setWidgetHideOnPresentation (const std::string& name, bool hide)
{
    callHost (hostConnected, Vantor_SetWidgetHideOnPresentation, hostHandle, name.c_str(), hide);
}

bool VantorFunctions::listenForWidget (const std::string& name, bool listen)
{
    return callHost (hostConnected, Vantor_ListenForWidget, hostHandle, name.c_str(), listen);
}

bool VantorFunctions::listeningForWidget (const std::string& name)
{
    return callHost (hostConnected, Vantor_ListeningForWidget, hostHandle, name.c_str());
}
void VantorFunctions::setWidgetFillColor (const std::string& name, int color)
{
    callHost (hostConnected, Vantor_SetWidgetFillColor, hostHandle, name.c_str(), color);
}
void VantorFunctions::setWidgetOutlineColor (const std::string& name, int color)
{
    callHost (hostConnected, Vantor_SetWidgetOutlineColor, hostHandle, name.c_str(), color);
}

void VantorFunctions::setWidgetOutlineThickness (const std::string& name, int thickness)
{
    callHost (hostConnected, Vantor_SetWidgetOutlineThickness, hostHandle, name.c_str(), thickness);
}

void VantorFunctions::setWidgetOutlineRoundness (const std::string& name, int roundness)
{
    callHost (hostConnected, Vantor_SetWidgetOutlineRoundness, hostHandle, name.c_str(), roundness);
}

int VantorFunctions::getWidgetFillColor (const std::string& name)
{
    return callHost (hostConnected, Vantor_GetWidgetFillColor, hostHandle, name.c_str());
}
int VantorFunctions::getWidgetOutlineColor (const std::string& name)
{
    return callHost (hostConnected, Vantor_GetWidgetOutlineColor, hostHandle, name.c_str());
}
int VantorFunctions::getWidgetOutlineThickness (const std::string& name)
{
    return callHost (hostConnected, Vantor_GetWidgetOutlineThickness, hostHandle, name.c_str());
}
int VantorFunctions::getWidgetOutlineRoundness (const std::string& name)
{
    return callHost (hostConnected, Vantor_GetWidgetOutlineRoundness, hostHandle, name.c_str());
}

void VantorFunctions::getWidgetBounds (const std::string& name, int& x, int& y, int& width, int& height)
{
    callHost (hostConnected, Vantor_GetWidgetBounds, hostHandle, name.c_str(), &x, &y, &width, &height);
}

void VantorFunctions::setWidgetBounds (const std::string& name, int x, int y, int width, int height)
{
    callHost (hostConnected, Vantor_SetWidgetBounds, hostHandle, name.c_str(), x, y, width, height);
}

void VantorFunctions::getWidgetList (std::vector<std::string>& names, bool flag)
{
    readHostList (names, Vantor_GetWidgetList, hostConnected, hostHandle, flag);
}

void VantorFunctions::mapWidgetToPluginParameter (const std::string& widget, const std::string& plugin, int parameter,
                                                  bool flag)
{
    callHost (hostConnected, Vantor_MapWidgetToPluginParameter, hostHandle, widget.c_str(), plugin.c_str(), parameter,
              flag);
}

void VantorFunctions::getPluginList (std::vector<std::string>& names, bool flag)
{
    readHostList (names, Vantor_GetPluginList, hostConnected, hostHandle, flag);
}

bool VantorFunctions::pluginExists (const std::string& name, bool flag)
{
    return callHost (hostConnected, Vantor_PluginExists, hostHandle, name.c_str(), flag);
}

std::string VantorFunctions::getPluginCaption (const std::string& name, bool flag)
{
    return readHostString (stringResultSize, [&] (char* buffer, int size) {
        callHost (hostConnected, Vantor_GetPluginCaption, hostHandle, name.c_str(), buffer, size, flag);
    });
}

std::string VantorFunctions::getPluginName (const std::string& name, bool flag)
{
    return readHostString (stringResultSize, [&] (char* buffer, int size) {
        callHost (hostConnected, Vantor_GetPluginName, hostHandle, name.c_str(), buffer, size, flag);
    });
}

int VantorFunctions::getPluginParameterCount (const std::string& name, bool flag)
{
    return callHost (hostConnected, Vantor_GetPluginParameterCount, hostHandle, name.c_str(), flag);
}

double VantorFunctions::getPluginParameter (const std::string& name, int parameter, bool flag)
{
    return callHost (hostConnected, Vantor_GetPluginParameter, hostHandle, name.c_str(), parameter, flag);
}

void VantorFunctions::setPluginParameter (const std::string& name, int parameter, double value, bool flag)
{
    callHost (hostConnected, Vantor_SetPluginParameter, hostHandle, name.c_str(), parameter, value, flag);
}

std::string VantorFunctions::getPluginParameterName (const std::string& name, int parameter, bool flag)
{
    return readHostString (stringResultSize, [&] (char* buffer, int size) {
        callHost (hostConnected, Vantor_GetPluginParameterName, hostHandle, name.c_str(), parameter, buffer, size,
                  flag);
    });
}

std::string VantorFunctions::getPluginParameterText (const std::string& name, int parameter, bool flag)
{
    return readHostString (stringResultSize, [&] (char* buffer, int size) {
        callHost (hostConnected, Vantor_GetPluginParameterText, hostHandle, name.c_str(), parameter, buffer, size,
                  flag);
    });
}

int VantorFunctions::getMidiInDeviceCount()
{
    return callHost (hostConnected, Vantor_GetMidiInDeviceCount, hostHandle);
}
int VantorFunctions::getMidiOutDeviceCount()
{
    return callHost (hostConnected, Vantor_GetMidiOutDeviceCount, hostHandle);
}

std::string VantorFunctions::getMidiInDeviceName (int device)
{
    return readHostString (stringResultSize, [&] (char* buffer, int size) {
        callHost (hostConnected, Vantor_GetMidiInDeviceName, hostHandle, device, buffer, size);
    });
}

std::string VantorFunctions::getMidiOutDeviceName (int device)
{
    return readHostString (stringResultSize, [&] (char* buffer, int size) {
        callHost (hostConnected, Vantor_GetMidiOutDeviceName, hostHandle, device, buffer, size);
    });
}

bool VantorFunctions::listenForMidi (const std::string& device, bool listen)
{
    return callHost (hostConnected, Vantor_ListenForMidi, hostHandle, device.c_str(), listen);
}
bool VantorFunctions::listeningForMidi (const std::string& device)
{
    return callHost (hostConnected, Vantor_ListeningForMidi, hostHandle, device.c_str());
}

void VantorFunctions::sendMidiMessageToMidiOutDevice (const std::string& device, const unsigned char* data, int length)
{
    callHost (hostConnected, Vantor_SendMidiMessageToMidiOutDevice, hostHandle, device.c_str(), data, length);
}

void VantorFunctions::sendMidiMessageToMidiOutDevice (const std::string& device, const std::string& message)
{
    sendMidiMessageToMidiOutDevice (device, bytesOf (message), lengthOf (message));
}

void VantorFunctions::sendMidiMessageToMidiOutDevice (const std::string& device, const VantorMidiMessage& message)
{
    sendMidiMessageToMidiOutDevice (device, message.getData(), message.getLength());
}

void VantorFunctions::injectMidiMessageToMidiInputDevice (const std::string& device, const unsigned char* data,
                                                          int length)
{
    callHost (hostConnected, Vantor_InjectMidiMessageToMidiInputDevice, hostHandle, device.c_str(), data, length);
}

void VantorFunctions::injectMidiMessageToMidiInputDevice (const std::string& device, const std::string& message)
{
    injectMidiMessageToMidiInputDevice (device, bytesOf (message), lengthOf (message));
}

void VantorFunctions::injectMidiMessageToMidiInputAlias (const std::string& alias, const unsigned char* data,
                                                         int length)
{
    callHost (hostConnected, Vantor_InjectMidiMessageToMidiInputAlias, hostHandle, alias.c_str(), data, length);
}

void VantorFunctions::injectMidiMessageToMidiInputAlias (const std::string& alias, const std::string& message)
{
    injectMidiMessageToMidiInputAlias (alias, bytesOf (message), lengthOf (message));
}

} // namespace vantor::sdk
