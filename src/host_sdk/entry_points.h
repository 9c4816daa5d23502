#pragma once

// The functions Vantor calls, exported under these plain names. All run on
// the host's calling thread and never let an exception out: a failure gives
// the neutral result (0, false, nothing done, an empty string). Events that
// arrive while no extension object exists (before registration, after close)
// are ignored; a second registration deletes the object of the first. String
// results are copied into the caller's buffer as copyToHostBuffer describes
// and return the full length. Null strings from the host count as empty
// strings.

#include "host_sdk/host_types.h"

TUNEWELL_EXPORT void VantorRegister (HostFunctionLookup lookup, void* hostHandle);
TUNEWELL_EXPORT void VantorQueryLibrary (char* buffer, int bufferSize);
TUNEWELL_EXPORT int GetVantorSDKVersion();
TUNEWELL_EXPORT void InitializeImportedFunctions (void* hostHandle, HostFunctionLookup lookup);

TUNEWELL_EXPORT int GetMenuCount();
TUNEWELL_EXPORT int GetMenuName (int index, char* buffer, int bufferSize);
TUNEWELL_EXPORT void InvokeMenu (int index);
TUNEWELL_EXPORT int GetPanelCount();
TUNEWELL_EXPORT int GetPanelName (int index, char* buffer, int bufferSize);
TUNEWELL_EXPORT int GetPanelXML (int index, char* buffer, int bufferSize);
TUNEWELL_EXPORT int
RequestVantorScriptFunctionSignatureList (int location, vantor::sdk::ExternalAPI_VantorScriptFunctionDefinition** list);

TUNEWELL_EXPORT void OnOpen();
TUNEWELL_EXPORT void OnClose();
TUNEWELL_EXPORT void OnStatusChanged (int status);
TUNEWELL_EXPORT void OnModeChanged (int mode);
TUNEWELL_EXPORT void OnEditStateChanged (bool editing);
TUNEWELL_EXPORT void OnSwitchToWiringView();
TUNEWELL_EXPORT void OnSwitchToPanelView();
TUNEWELL_EXPORT void OnTempoChanged (double tempo);
TUNEWELL_EXPORT void OnGlobalPlayStateChanged (double state);
TUNEWELL_EXPORT void OnTunerModeChanged (bool tunerShowing);
TUNEWELL_EXPORT void OnRackspaceActivated();
TUNEWELL_EXPORT void OnSongChanged (int first, int second);
TUNEWELL_EXPORT void OnSongPartChanged (int first, int second);
TUNEWELL_EXPORT void OnVariationChanged (int first, int second);
TUNEWELL_EXPORT void OnSetlistChanged (const char* setlistName);
TUNEWELL_EXPORT void OnWidgetValueChanged (const char* widgetName, double value);
TUNEWELL_EXPORT void OnWidgetStateChanged (const char* widgetName, int state);
TUNEWELL_EXPORT void OnWidgetCaptionChanged (const char* widgetName, const char* caption);
/// The data pointer and length reach the extension unchanged.
TUNEWELL_EXPORT bool OnMidiIn (const char* deviceName, const unsigned char* data, int length);
/// A null list or a count of zero or less gives an empty list.
TUNEWELL_EXPORT void OnMidiDeviceListChanged (const char** firstList, int firstCount, const char** secondList,
                                              int secondCount);
