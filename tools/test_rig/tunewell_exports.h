#pragma once

#include <string>
#include <vector>

#include "host_sdk/host_types.h"
#include "library_loader.h"

namespace tunewell::testing
{

// The library's exports as the host calls them: X(name, result, (parameters)).
#define TUNEWELL_LIBRARY_EXPORTS(X) \
    X (VantorRegister, void, (HostFunctionLookup, void*)) \
    X (VantorQueryLibrary, void, (char*, int)) \
    X (GetVantorSDKVersion, int, ()) \
    X (InitializeImportedFunctions, void, (void*, HostFunctionLookup)) \
    X (GetMenuCount, int, ()) \
    X (GetMenuName, int, (int, char*, int)) \
    X (InvokeMenu, void, (int)) \
    X (GetPanelCount, int, ()) \
    X (GetPanelName, int, (int, char*, int)) \
    X (GetPanelXML, int, (int, char*, int)) \
    X (RequestVantorScriptFunctionSignatureList, int, \
       (int, vantor::sdk::ExternalAPI_VantorScriptFunctionDefinition**)) \
    X (OnOpen, void, ()) \
    X (OnClose, void, ()) \
    X (OnStatusChanged, void, (int)) \
    X (OnModeChanged, void, (int)) \
    X (OnEditStateChanged, void, (bool)) \
    X (OnSwitchToWiringView, void, ()) \
    X (OnSwitchToPanelView, void, ()) \
    X (OnTempoChanged, void, (double)) \
    X (OnGlobalPlayStateChanged, void, (double)) \
    X (OnTunerModeChanged, void, (bool)) \
    X (OnRackspaceActivated, void, ()) \
    X (OnSongChanged, void, (int, int)) \
    X (OnSongPartChanged, void, (int, int)) \
    X (OnVariationChanged, void, (int, int)) \
    X (OnSetlistChanged, void, (const char*)) \
    X (OnWidgetValueChanged, void, (const char*, double)) \
    X (OnWidgetStateChanged, void, (const char*, int)) \
    X (OnWidgetCaptionChanged, void, (const char*, const char*)) \
    X (OnMidiIn, bool, (const char*, const unsigned char*, int)) \
    X (OnMidiDeviceListChanged, void, (const char**, int, const char**, int)) \
    X (hex2bin, void, (const char*, char*))

/// The Tunewell library loaded from disk with every export resolved by
/// name; a missing export is null and listed in missingExports.
struct TunewellLibrary
{
    explicit TunewellLibrary (const std::string& path) : library (path)
    {
#define TUNEWELL_RESOLVE_EXPORT(name, result, parameters) \
    name = library.function<result (*) parameters> (#name); \
    if (name == nullptr) \
        missingExports.push_back (#name);
        TUNEWELL_LIBRARY_EXPORTS (TUNEWELL_RESOLVE_EXPORT)
#undef TUNEWELL_RESOLVE_EXPORT
    }

    LoadedLibrary library;
    std::vector<std::string> missingExports;

#define TUNEWELL_DECLARE_EXPORT(name, result, parameters) result (*name) parameters = nullptr;
    TUNEWELL_LIBRARY_EXPORTS (TUNEWELL_DECLARE_EXPORT)
#undef TUNEWELL_DECLARE_EXPORT
};

} // namespace tunewell::testing
