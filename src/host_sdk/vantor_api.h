#pragma once

#include <string>
#include <vector>

#include "host_sdk/host_types.h"
#include "host_sdk/vantor_functions.h"

namespace vantor::sdk
{

/// The extension object as the entry points see it. Every host event
/// reaches one virtual operation; the defaults do nothing and answer
/// neutrally. All operations run on the thread the host calls the library
/// on; string arguments are library-owned copies valid for the call.
class VantorAPI : public VantorFunctions
{
public:
    explicit VantorAPI (void* hostHandle) : VantorFunctions (hostHandle) {}
    ~VantorAPI() override = default;

    virtual void Initialization() {}
    /// Must make no host call: it also answers the descriptor query, made
    /// before any host function is known.
    virtual std::string GetProductDescription() = 0;
    virtual int RequestVantorScriptFunctionSignatureList (VantorScript_AllowedLocations,
                                                          ExternalAPI_VantorScriptFunctionDefinition**)
    {
        return 0;
    }
    virtual bool OnMidiIn (const std::string& /*deviceName*/, const unsigned char* /*data*/, int /*length*/)
    {
        return false;
    }
    virtual void OnEditStateChanged (bool) {}
    virtual void OnSwitchToWiringView() {}
    virtual void OnSwitchToPanelView() {}
    virtual void OnTempoChanged (double) {}
    virtual void OnModeChanged (int) {}
    virtual void OnStatusChanged (VantorStatusType) {}
    virtual void OnMidiDeviceListChanged (std::vector<std::string>& /*first*/, std::vector<std::string>& /*second*/) {}
    virtual void OnOpen() {}
    virtual void OnClose() {}
    virtual void OnRackspaceActivated() {}
    virtual void OnSongChanged (int, int) {}
    virtual void OnSongPartChanged (int, int) {}
    virtual void OnSetlistChanged (const std::string& /*setlistName*/) {}
    virtual void OnVariationChanged (int, int) {}
    virtual void OnWidgetValueChanged (const std::string& /*widgetName*/, double /*value*/) {}
    virtual void OnWidgetStateChanged (const std::string& /*widgetName*/, int /*state*/) {}
    virtual void OnWidgetCaptionChanged (const std::string& /*widgetName*/, const std::string& /*caption*/) {}
    virtual void OnGlobalPlayStateChanged (double) {}
    virtual void OnTunerModeChanged (bool) {}
    virtual int GetPanelCount() { return 0; }
    virtual std::string GetPanelName (int) { return {}; }
    virtual std::string GetPanelXML (int) { return {}; }
    virtual int GetMenuCount() { return 0; }
    virtual std::string GetMenuName (int) { return {}; }
    virtual void InvokeMenu (int) {}
};

/// Defined by the extension: a new extension object for this host handle
/// (null for a descriptor query), owned by the caller, or null when it
/// cannot be made.
VantorAPI* CreateVantorExtension (void* hostHandle);

/// The registered extension object, or null before registration and after
/// close. Only the entry points write it.
extern VantorAPI* extensionInstance;

} // namespace vantor::sdk
