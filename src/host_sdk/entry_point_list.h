#pragma once

// The functions that the library exports for Vantor, under their plain
// names, in one list. Every entry is
//     X(name, result type, (parameter types))
// The declarations in entry_points.h and vantor_utils.h are checked against
// this list where they are defined, and programs that load the built library
// resolve its exports from it, so the three cannot drift apart.

#include "host_sdk/host_types.h"

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
