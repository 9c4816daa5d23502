#pragma once

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace tunewell::testrig
{

/// One host function call as the host saw it. Arguments are written as
/// text: integers in decimal, doubles in shortest form ("1", "0.5"), bools
/// as "true"/"false", strings as they are (a null pointer as "(null)"),
/// buffers by their size, MIDI bytes as lower-case hex pairs ("90 3c 64").
/// Out-parameters are not listed.
struct HostCall
{
    std::string function;
    std::vector<std::string> arguments;

    bool operator== (const HostCall& other) const { return function == other.function && arguments == other.arguments; }
};

struct SongPart
{
    std::string name;
    std::string variationName;
};

struct Song
{
    std::string name;
    std::string artist;
    std::vector<SongPart> parts;
    std::string uuid;
    std::string chordProFile;
};

struct Widget
{
    double value = 0.0;
    std::string textValue;
    std::string caption;
    bool hiddenOnPresentation = false;
    bool listening = false;
    int fillColor = 0, outlineColor = 0, outlineThickness = 0, outlineRoundness = 0;
    int x = 0, y = 0, width = 0, height = 0;
};

struct Plugin
{
    std::string caption;
    std::string name;
    std::vector<std::string> parameterNames;
    std::vector<double> parameterValues;
};

struct Rackspace
{
    std::string name;
    std::string uuid;
    std::vector<std::string> variations;
};

/// An in-process stand-in for Vantor. It serves all 102 host functions over
/// plain state that tests set up and inspect, and logs every call. Its
/// handle is the object's address; pass handle() and lookup to
/// VantorRegister. Not thread-safe: use it on the test's thread.
class TestHost
{
public:
    TestHost() = default;
    TestHost (const TestHost&) = delete;
    TestHost& operator= (const TestHost&) = delete;

    /// The host's lookup callback (a HostFunctionLookup).
    static void* lookup (void* hostHandle, const char* functionName);
    void* handle() { return this; }

    /// Makes lookup answer null for these names from now on.
    void removeFunctions (const std::set<std::string>& names) { removedFunctions.insert (names.begin(), names.end()); }
    void removeAllFunctions() { removeEveryFunction = true; }

    /// Every name asked for through lookup, in order.
    std::vector<std::string> lookups;
    /// Every host function call, in order.
    std::vector<HostCall> calls;

    std::vector<HostCall> callsTo (const std::string& function) const;
    int countCallsTo (const std::string& function) const;
    void clearLog()
    {
        lookups.clear();
        calls.clear();
    }

    /// Runs after a call is logged and before it is answered, so a test can
    /// change the host's state mid-call (or throw, as a broken host would).
    std::function<void (const HostCall&)> onCall;

    /// Replaces the answer of both list functions: the text written and the
    /// integer returned.
    std::optional<std::pair<std::string, int>> scriptedListAnswer;

    std::vector<Song> songs;
    int currentSong = -1, currentSongPart = -1;
    bool setlistMode = false;
    std::vector<std::string> setlists;
    int currentSetlist = -1;
    std::vector<Rackspace> rackspaces;
    int currentRackspace = -1, currentVariation = -1;
    std::map<std::string, Widget> widgets;
    std::map<std::string, Plugin> plugins;
    std::vector<std::string> midiInDevices, midiOutDevices;
    std::set<std::string> midiListening;
    std::vector<std::string> callbacks;
    std::string pathToMe = "C:\\Vantor\\Extensions\\tunewell.dll";
    std::string instanceName = "Vantor";
    double bpm = 120.0;
    int timeSignatureNumerator = 4, timeSignatureDenominator = 4;
    bool playing = false, tunerShowing = false, metronomeEnabled = false;

    /// Logs a call and runs onCall; used by the served functions.
    void record (const char* function, std::vector<std::string> arguments);

private:
    std::set<std::string> removedFunctions;
    bool removeEveryFunction = false;
};

/// The names of the served functions, in the host's table order.
const std::vector<std::string>& servedFunctionNames();

} // namespace tunewell::testrig
