#pragma once

#include <functional>
#include <string>
#include <vector>

#include "host_sdk/vantor_api.h"

namespace tunewell::testrig
{

/// An extension that writes down every operation the entry points reach,
/// with its arguments, so tests can check the forwarding.
class RecordingExtension : public vantor::sdk::VantorAPI
{
public:
    explicit RecordingExtension (void* hostHandle);
    ~RecordingExtension() override;

    /// What CreateVantorExtension makes next, and what happened since.
    static bool createMinimal;
    static bool failCreation;
    static int created, destroyed;
    static std::vector<std::string> events;

    /// Runs at the start of every recorded operation; a test may throw from
    /// it or call entry points from inside it.
    static std::function<void (const std::string& operation)> during;

    std::string description = "<Library>recording extension</Library>";
    std::string menuName = "Menu entry";

    void Initialization() override;
    std::string GetProductDescription() override;
    int RequestVantorScriptFunctionSignatureList (vantor::sdk::VantorScript_AllowedLocations,
                                                  vantor::sdk::ExternalAPI_VantorScriptFunctionDefinition**) override;
    bool OnMidiIn (const std::string& device, const unsigned char* data, int length) override;
    void OnEditStateChanged (bool editing) override;
    void OnSwitchToWiringView() override;
    void OnSwitchToPanelView() override;
    void OnTempoChanged (double tempo) override;
    void OnModeChanged (int mode) override;
    void OnStatusChanged (vantor::sdk::VantorStatusType status) override;
    void OnMidiDeviceListChanged (std::vector<std::string>& first, std::vector<std::string>& second) override;
    void OnOpen() override;
    void OnClose() override;
    void OnRackspaceActivated() override;
    void OnSongChanged (int, int) override;
    void OnSongPartChanged (int, int) override;
    void OnSetlistChanged (const std::string& name) override;
    void OnVariationChanged (int, int) override;
    void OnWidgetValueChanged (const std::string& name, double value) override;
    void OnWidgetStateChanged (const std::string& name, int state) override;
    void OnWidgetCaptionChanged (const std::string& name, const std::string& caption) override;
    void OnGlobalPlayStateChanged (double state) override;
    void OnTunerModeChanged (bool showing) override;
    int GetPanelCount() override;
    std::string GetPanelName (int index) override;
    std::string GetPanelXML (int index) override;
    int GetMenuCount() override;
    std::string GetMenuName (int index) override;
    void InvokeMenu (int index) override;

    static void reset();

private:
    void note (const std::string& event);
};

/// An extension that keeps every default of the base class.
class MinimalExtension : public vantor::sdk::VantorAPI
{
public:
    using VantorAPI::VantorAPI;
    std::string GetProductDescription() override { return "minimal"; }
};

} // namespace tunewell::testrig
