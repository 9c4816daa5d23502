#pragma once

#include <string>
#include <vector>

#include "host_sdk/midi_message.h"

namespace vantor::sdk
{

/// Calls into the host through the registered function table, in library
/// types. Call only on a thread on which the host accepts calls, and only
/// after registration; the descriptor query's object (null handle) must not
/// call any of these. A function the host did not supply is not called: the
/// wrapper returns 0, false, 0.0 or an empty string or list and leaves its
/// out-parameters untouched.
class VantorFunctions
{
public:
    explicit VantorFunctions (void* hostHandle);
    virtual ~VantorFunctions();

    // Songs, song parts, setlists, rackspaces and variations.
    int getSongCount();
    std::string getSongName (int song);
    std::string getArtistName (int song);
    std::string getSongUuid (int song);
    std::string getChordProFilenameForSong (int song);
    int getCurrentSongIndex();
    bool switchToSong (int song, int part);
    int getSongpartCount (int song);
    std::string getSongpartName (int song, int part);
    int getCurrentSongpartIndex();
    bool switchToSongPart (int part);
    std::string getVariationNameForSongPart (int song, int part);
    bool inSetlistMode();
    int getSetlistCount();
    std::string getSetlistName (int setlist);
    int getCurrentSetlistIndex();
    bool switchToSetlist (int setlist);
    int getRackspaceCount();
    std::string getRackspaceName (int rackspace);
    std::string getRackspaceUuid (int rackspace);
    int getCurrentRackspaceIndex();
    bool switchToRackspace (int rackspace, int variation);
    /// An empty variation name reaches the host as a null pointer.
    bool switchToRackspaceName (const std::string& rackspace, const std::string& variation);
    int getVariationCount (int rackspace);
    std::string getVariationName (int rackspace, int variation);
    int getCurrentVariationIndex();
    /// Switches variation within the current rackspace.
    bool switchToVariation (int variation);
    bool loadGigByIndex (int gig);
    bool saveGigUnconditionally (bool flag);

    // Views, transport and tools.
    void switchToSetlistView();
    void switchToWiringView();
    void switchToPanelView();
    void next();
    void previous();
    void panic();
    void tap();
    void setPlayheadState (bool playing);
    bool getPlayheadState();
    void showTuner (bool show);
    bool tunerShowing();
    void enableMetronome (bool enable);
    bool metronomeEnabled();
    void setBPM (double bpm);
    double getBPM();
    void getCurrentTimeSignature (int& numerator, int& denominator);
    std::string getInstanceName();
    std::string getPathToMe();
    void consoleLog (const std::string& text);
    void consoleLog (const char* text);
    void scriptLog (const std::string& text, bool flag);
    void scriptLog (const char* text, bool flag);
    std::string textToHexString (const std::string& text);
    bool registerCallback (const std::string& name);
    bool unregisterCallback (const std::string& name);
    void ColorToRGBA (int color, double& r, double& g, double& b, double& a);
    int RGBAToColor (double r, double g, double b, double a);

    // Widgets.
    bool widgetExists (const std::string& name);
    double getWidgetValue (const std::string& name);
    bool setWidgetValue (const std::string& name, double value);
    bool resetWidgetToDefault (const std::string& name, double value);
    std::string getWidgetTextValue (const std::string& name);
    std::string getWidgetCaption (const std::string& name);
    bool setWidgetCaption (const std::string& name, const std::string& caption);
    bool getWidgetHideState (const std::string& name);
    void setWidgetHideOnPresentation (const std::string& name, bool hide);
    bool listenForWidget (const std::string& name, bool listen);
    bool listeningForWidget (const std::string& name);
    void setWidgetFillColor (const std::string& name, int color);
    void setWidgetOutlineColor (const std::string& name, int color);
    void setWidgetOutlineThickness (const std::string& name, int thickness);
    void setWidgetOutlineRoundness (const std::string& name, int roundness);
    int getWidgetFillColor (const std::string& name);
    int getWidgetOutlineColor (const std::string& name);
    int getWidgetOutlineThickness (const std::string& name);
    int getWidgetOutlineRoundness (const std::string& name);
    void getWidgetBounds (const std::string& name, int& x, int& y, int& width, int& height);
    void setWidgetBounds (const std::string& name, int x, int y, int width, int height);
    /// Replaces the list with the host's names, one per line of its answer.
    void getWidgetList (std::vector<std::string>& names, bool flag);
    void mapWidgetToPluginParameter (const std::string& widget, const std::string& plugin, int parameter, bool flag);

    // Plugins; the trailing flag goes to the host unchanged.
    /// Replaces the list with the host's names, one per line of its answer.
    void getPluginList (std::vector<std::string>& names, bool flag);
    bool pluginExists (const std::string& name, bool flag);
    std::string getPluginCaption (const std::string& name, bool flag);
    std::string getPluginName (const std::string& name, bool flag);
    int getPluginParameterCount (const std::string& name, bool flag);
    double getPluginParameter (const std::string& name, int parameter, bool flag);
    void setPluginParameter (const std::string& name, int parameter, double value, bool flag);
    std::string getPluginParameterName (const std::string& name, int parameter, bool flag);
    std::string getPluginParameterText (const std::string& name, int parameter, bool flag);

    // MIDI. Message strings are raw bytes and may contain zero bytes.
    int getMidiInDeviceCount();
    int getMidiOutDeviceCount();
    std::string getMidiInDeviceName (int device);
    std::string getMidiOutDeviceName (int device);
    bool listenForMidi (const std::string& device, bool listen);
    bool listeningForMidi (const std::string& device);
    void sendMidiMessageToMidiOutDevice (const std::string& device, const unsigned char* data, int length);
    void sendMidiMessageToMidiOutDevice (const std::string& device, const std::string& message);
    void sendMidiMessageToMidiOutDevice (const std::string& device, const VantorMidiMessage& message);
    void injectMidiMessageToMidiInputDevice (const std::string& device, const unsigned char* data, int length);
    void injectMidiMessageToMidiInputDevice (const std::string& device, const std::string& message);
    void injectMidiMessageToMidiInputAlias (const std::string& alias, const unsigned char* data, int length);
    void injectMidiMessageToMidiInputAlias (const std::string& alias, const std::string& message);

    /// Every later host call answers neutrally without reaching the host:
    /// once the host has closed the extension, code still running on it must
    /// not call it with a handle that may be gone.
    void disconnectFromHost() { hostConnected = false; }

private:
    void* hostHandle;
    bool hostConnected = true;
};

} // namespace vantor::sdk
