#pragma once

// The host functions that Vantor hands out by name at registration, in the
// order in which the library asks for them. Every entry is
//     X(name without the "Vantor_" prefix, result type, (parameter types))
// and every function takes the host's opaque handle first. Keeping the list
// in one place lets the function table, the name list and test hosts agree.
//
// The host never passes ownership across these calls: string arguments are
// valid for the call only, and string results go into caller buffers.

#define TUNEWELL_VANTOR_HOST_FUNCTIONS(X) \
    X (ConsoleLog, void, (void*, const char*)) \
    X (GetPathToMe, int, (void*, char*, int)) \
    X (SwitchToSetlistView, void, (void*)) \
    X (SwitchToWiringView, void, (void*)) \
    X (SwitchToPanelView, void, (void*)) \
    X (SetPlayheadState, void, (void*, bool)) \
    X (GetPlayheadState, bool, (void*)) \
    X (ShowTuner, void, (void*, bool)) \
    X (TunerShowing, bool, (void*)) \
    X (EnableMetronome, void, (void*, bool)) \
    X (MetronomeEnabled, bool, (void*)) \
    X (GetPluginList, int, (void*, char*, int, bool)) \
    X (PluginExists, bool, (void*, const char*, bool)) \
    X (SetPluginParameter, void, (void*, const char*, int, double, bool)) \
    X (GetPluginParameter, double, (void*, const char*, int, bool)) \
    X (GetPluginParameterCount, int, (void*, const char*, bool)) \
    X (GetPluginParameterName, int, (void*, const char*, int, char*, int, bool)) \
    X (GetPluginParameterText, int, (void*, const char*, int, char*, int, bool)) \
    X (GetPluginCaption, int, (void*, const char*, char*, int, bool)) \
    X (GetPluginName, int, (void*, const char*, char*, int, bool)) \
    X (MapWidgetToPluginParameter, void, (void*, const char*, const char*, int, bool)) \
    X (GetWidgetList, int, (void*, char*, int, bool)) \
    X (WidgetExists, bool, (void*, const char*)) \
    X (GetWidgetValue, double, (void*, const char*)) \
    X (GetWidgetTextValue, int, (void*, const char*, char*, int)) \
    X (SetWidgetValue, bool, (void*, const char*, double)) \
    X (SetWidgetCaption, bool, (void*, const char*, const char*)) \
    X (GetWidgetCaption, int, (void*, const char*, char*, int)) \
    X (SetWidgetHideOnPresentation, void, (void*, const char*, bool)) \
    X (GetWidgetHideState, bool, (void*, const char*)) \
    X (ListenForWidget, bool, (void*, const char*, bool)) \
    X (ListeningForWidget, bool, (void*, const char*)) \
    X (SetWidgetFillColor, void, (void*, const char*, int)) \
    X (SetWidgetOutlineColor, void, (void*, const char*, int)) \
    X (SetWidgetOutlineThickness, void, (void*, const char*, int)) \
    X (SetWidgetOutlineRoundness, void, (void*, const char*, int)) \
    X (GetWidgetFillColor, int, (void*, const char*)) \
    X (GetWidgetOutlineColor, int, (void*, const char*)) \
    X (GetWidgetOutlineThickness, int, (void*, const char*)) \
    X (GetWidgetOutlineRoundness, int, (void*, const char*)) \
    X (GetWidgetBounds, void, (void*, const char*, int*, int*, int*, int*)) \
    X (SetWidgetBounds, void, (void*, const char*, int, int, int, int)) \
    X (RGBAToColor, int, (void*, double, double, double, double)) \
    X (ColorToRGBA, void, (void*, int, double*, double*, double*, double*)) \
    X (SetBPM, void, (void*, double)) \
    X (GetBPM, double, (void*)) \
    X (GetCurrentTimeSignature, void, (void*, int*, int*)) \
    X (Panic, void, (void*)) \
    X (ListenForMidi, bool, (void*, const char*, bool)) \
    X (ListeningForMidi, bool, (void*, const char*)) \
    X (GetMidiInDeviceCount, int, (void*)) \
    X (GetMidiInDeviceName, int, (void*, int, char*, int)) \
    X (GetMidiOutDeviceCount, int, (void*)) \
    X (GetMidiOutDeviceName, int, (void*, int, char*, int)) \
    X (TextToHexString, int, (void*, const char*, char*, int)) \
    X (SendMidiMessageToMidiOutDevice, void, (void*, const char*, const unsigned char*, int)) \
    X (InjectMidiMessageToMidiInputDevice, void, (void*, const char*, const unsigned char*, int)) \
    X (InjectMidiMessageToMidiInputAlias, void, (void*, const char*, const unsigned char*, int)) \
    X (GetSongCount, int, (void*)) \
    X (GetSongName, int, (void*, int, char*, int)) \
    X (GetArtistName, int, (void*, int, char*, int)) \
    X (GetChordProFilenameForSong, int, (void*, int, char*, int)) \
    X (GetCurrentSongIndex, int, (void*)) \
    X (GetVariationNameForSongPart, int, (void*, int, int, char*, int)) \
    X (GetSongpartCount, int, (void*, int)) \
    X (GetSongpartName, int, (void*, int, int, char*, int)) \
    X (GetCurrentSongpartIndex, int, (void*)) \
    X (GetSongUuid, int, (void*, int, char*, int)) \
    X (InSetlistMode, bool, (void*)) \
    X (SwitchToSong, bool, (void*, int, int)) \
    X (SwitchToSongPart, bool, (void*, int)) \
    X (GetSetlistCount, int, (void*)) \
    X (GetSetlistName, int, (void*, int, char*, int)) \
    X (GetCurrentSetlistIndex, int, (void*)) \
    X (SwitchToSetlist, bool, (void*, int)) \
    X (ScriptLog, void, (void*, const char*, bool)) \
    X (GetInstanceName, int, (void*, char*, int)) \
    X (GetRackspaceCount, int, (void*)) \
    X (GetRackspaceName, int, (void*, int, char*, int)) \
    X (GetCurrentRackspaceIndex, int, (void*)) \
    X (GetRackspaceUuid, int, (void*, int, char*, int)) \
    X (GetCurrentVariationIndex, int, (void*)) \
    X (GetVariationCount, int, (void*, int)) \
    X (GetVariationName, int, (void*, int, int, char*, int)) \
    X (SwitchToRackspace, bool, (void*, int, int)) \
    X (SwitchToRackspaceName, bool, (void*, const char*, const char*)) \
    X (SaveGigUnconditionally, bool, (void*, bool)) \
    X (LoadGigByIndex, bool, (void*, int)) \
    X (Tap, void, (void*)) \
    X (Previous, void, (void*)) \
    X (Next, void, (void*)) \
    X (ResetWidgetToDefault, bool, (void*, const char*, double)) \
    X (RegisterCallback, bool, (void*, const char*)) \
    X (UnregisterCallback, bool, (void*, const char*)) \
    X (VM_PopInteger, int, (void*)) \
    X (VM_PushInteger, void, (void*, int)) \
    X (VM_PopDouble, double, (void*)) \
    X (VM_PushDouble, void, (void*, double)) \
    X (VM_PopString, int, (void*, char*, int)) \
    X (VM_PushString, void, (void*, const char*)) \
    X (VM_PopBoolean, bool, (void*)) \
    X (VM_PushBoolean, void, (void*, bool))
