#pragma once

// The host functions that the library must ask for at registration, in the
// order it must ask for them, written out by hand from the host interface's
// documentation. Kept apart from the library's own list so that a name
// misspelt or moved there fails the tests that compare against this one.

#include <array>

namespace tunewell::testrig
{

// clang-format off
inline constexpr std::array<const char*, 102> expectedHostFunctionNames {
    "Vantor_ConsoleLog", "Vantor_GetPathToMe", "Vantor_SwitchToSetlistView", "Vantor_SwitchToWiringView",
    "Vantor_SwitchToPanelView", "Vantor_SetPlayheadState", "Vantor_GetPlayheadState", "Vantor_ShowTuner",
    "Vantor_TunerShowing", "Vantor_EnableMetronome", "Vantor_MetronomeEnabled", "Vantor_GetPluginList",
    "Vantor_PluginExists", "Vantor_SetPluginParameter", "Vantor_GetPluginParameter",
    "Vantor_GetPluginParameterCount", "Vantor_GetPluginParameterName", "Vantor_GetPluginParameterText",
    "Vantor_GetPluginCaption", "Vantor_GetPluginName", "Vantor_MapWidgetToPluginParameter", "Vantor_GetWidgetList",
    "Vantor_WidgetExists", "Vantor_GetWidgetValue", "Vantor_GetWidgetTextValue", "Vantor_SetWidgetValue",
    "Vantor_SetWidgetCaption", "Vantor_GetWidgetCaption", "Vantor_SetWidgetHideOnPresentation",
    "Vantor_GetWidgetHideState", "Vantor_ListenForWidget", "Vantor_ListeningForWidget", "Vantor_SetWidgetFillColor",
    "Vantor_SetWidgetOutlineColor", "Vantor_SetWidgetOutlineThickness", "Vantor_SetWidgetOutlineRoundness",
    "Vantor_GetWidgetFillColor", "Vantor_GetWidgetOutlineColor", "Vantor_GetWidgetOutlineThickness",
    "Vantor_GetWidgetOutlineRoundness", "Vantor_GetWidgetBounds", "Vantor_SetWidgetBounds", "Vantor_RGBAToColor",
    "Vantor_ColorToRGBA", "Vantor_SetBPM", "Vantor_GetBPM", "Vantor_GetCurrentTimeSignature", "Vantor_Panic",
    "Vantor_ListenForMidi", "Vantor_ListeningForMidi", "Vantor_GetMidiInDeviceCount", "Vantor_GetMidiInDeviceName",
    "Vantor_GetMidiOutDeviceCount", "Vantor_GetMidiOutDeviceName", "Vantor_TextToHexString",
    "Vantor_SendMidiMessageToMidiOutDevice", "Vantor_InjectMidiMessageToMidiInputDevice",
    "Vantor_InjectMidiMessageToMidiInputAlias", "Vantor_GetSongCount", "Vantor_GetSongName", "Vantor_GetArtistName",
    "Vantor_GetChordProFilenameForSong", "Vantor_GetCurrentSongIndex", "Vantor_GetVariationNameForSongPart",
    "Vantor_GetSongpartCount", "Vantor_GetSongpartName", "Vantor_GetCurrentSongpartIndex", "Vantor_GetSongUuid",
    "Vantor_InSetlistMode", "Vantor_SwitchToSong", "Vantor_SwitchToSongPart", "Vantor_GetSetlistCount",
    "Vantor_GetSetlistName", "Vantor_GetCurrentSetlistIndex", "Vantor_SwitchToSetlist", "Vantor_ScriptLog",
    "Vantor_GetInstanceName", "Vantor_GetRackspaceCount", "Vantor_GetRackspaceName",
    "Vantor_GetCurrentRackspaceIndex", "Vantor_GetRackspaceUuid", "Vantor_GetCurrentVariationIndex",
    "Vantor_GetVariationCount", "Vantor_GetVariationName", "Vantor_SwitchToRackspace",
    "Vantor_SwitchToRackspaceName", "Vantor_SaveGigUnconditionally", "Vantor_LoadGigByIndex", "Vantor_Tap",
    "Vantor_Previous", "Vantor_Next", "Vantor_ResetWidgetToDefault", "Vantor_RegisterCallback",
    "Vantor_UnregisterCallback", "Vantor_VM_PopInteger", "Vantor_VM_PushInteger", "Vantor_VM_PopDouble",
    "Vantor_VM_PushDouble", "Vantor_VM_PopString", "Vantor_VM_PushString", "Vantor_VM_PopBoolean",
    "Vantor_VM_PushBoolean",
};
// clang-format on

} // namespace tunewell::testrig
