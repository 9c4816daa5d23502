#include "recording_extension.h"

#include <new>
#include <sstream>

namespace tunewell::testrig
{

bool RecordingExtension::createMinimal = false;
bool RecordingExtension::failCreation = false;
int RecordingExtension::created = 0;
int RecordingExtension::destroyed = 0;
std::vector<std::string> RecordingExtension::events;
std::function<void (const std::string&)> RecordingExtension::during;

namespace
{
std::string joined (const std::vector<std::string>& items)
{
    std::string text = "[";

    for (size_t i = 0; i < items.size(); ++i)
        text += (i > 0 ? "," : "") + items[i];

    return text + "]";
}

std::string number (double value)
{
    std::ostringstream out;
    out << value;
    return out.str();
}
} // namespace

RecordingExtension::RecordingExtension (void* hostHandle) : VantorAPI (hostHandle)
{
    ++created;
}
RecordingExtension::~RecordingExtension()
{
    ++destroyed;
    events.push_back ("destroyed");
}

void RecordingExtension::reset()
{
    createMinimal = false;
    failCreation = false;
    created = destroyed = 0;
    events.clear();
    during = nullptr;
}

void RecordingExtension::note (const std::string& event)
{
    events.push_back (event);

    if (during)
        during (event);
}

void RecordingExtension::Initialization()
{
    note ("Initialization");
}
std::string RecordingExtension::GetProductDescription()
{
    note ("GetProductDescription");
    return description;
}

int RecordingExtension::RequestVantorScriptFunctionSignatureList (
    vantor::sdk::VantorScript_AllowedLocations location, vantor::sdk::ExternalAPI_VantorScriptFunctionDefinition** list)
{
    note ("RequestVantorScriptFunctionSignatureList " + std::to_string (static_cast<int> (location)));
    *list = nullptr;
    return 7;
}

bool RecordingExtension::OnMidiIn (const std::string& device, const unsigned char* data, int length)
{
    note ("OnMidiIn " + device + " " + std::to_string (length) + " " + std::to_string (data != nullptr ? data[0] : -1));
    return true;
}

void RecordingExtension::OnEditStateChanged (bool editing)
{
    note ("OnEditStateChanged " + std::to_string (editing));
}
void RecordingExtension::OnSwitchToWiringView()
{
    note ("OnSwitchToWiringView");
}
void RecordingExtension::OnSwitchToPanelView()
{
    note ("OnSwitchToPanelView");
}
void RecordingExtension::OnTempoChanged (double tempo)
{
    note ("OnTempoChanged " + number (tempo));
}
void RecordingExtension::OnModeChanged (int mode)
{
    note ("OnModeChanged " + std::to_string (mode));
}
void RecordingExtension::OnStatusChanged (vantor::sdk::VantorStatusType status)
{
    note ("OnStatusChanged " + std::to_string (static_cast<int> (status)));
}

void RecordingExtension::OnMidiDeviceListChanged (std::vector<std::string>& first, std::vector<std::string>& second)
{
    note ("OnMidiDeviceListChanged " + joined (first) + " " + joined (second));
}

void RecordingExtension::OnOpen()
{
    note ("OnOpen");
}
void RecordingExtension::OnClose()
{
    note ("OnClose");
}
void RecordingExtension::OnRackspaceActivated()
{
    note ("OnRackspaceActivated");
}
void RecordingExtension::OnSongChanged (int a, int b)
{
    note ("OnSongChanged " + std::to_string (a) + " " + std::to_string (b));
}
void RecordingExtension::OnSongPartChanged (int a, int b)
{
    note ("OnSongPartChanged " + std::to_string (a) + " " + std::to_string (b));
}
void RecordingExtension::OnSetlistChanged (const std::string& name)
{
    note ("OnSetlistChanged " + name);
}
void RecordingExtension::OnVariationChanged (int a, int b)
{
    note ("OnVariationChanged " + std::to_string (a) + " " + std::to_string (b));
}
void RecordingExtension::OnWidgetValueChanged (const std::string& name, double value)
{
    note ("OnWidgetValueChanged " + name + " " + number (value));
}
void RecordingExtension::OnWidgetStateChanged (const std::string& name, int state)
{
    note ("OnWidgetStateChanged " + name + " " + std::to_string (state));
}

void RecordingExtension::OnWidgetCaptionChanged (const std::string& name, const std::string& caption)
{
    note ("OnWidgetCaptionChanged " + name + " " + caption);
}

void RecordingExtension::OnGlobalPlayStateChanged (double state)
{
    note ("OnGlobalPlayStateChanged " + number (state));
}
void RecordingExtension::OnTunerModeChanged (bool showing)
{
    note ("OnTunerModeChanged " + std::to_string (showing));
}
int RecordingExtension::GetPanelCount()
{
    note ("GetPanelCount");
    return 2;
}
std::string RecordingExtension::GetPanelName (int index)
{
    note ("GetPanelName " + std::to_string (index));
    return "Panel " + std::to_string (index);
}
std::string RecordingExtension::GetPanelXML (int index)
{
    note ("GetPanelXML " + std::to_string (index));
    return "<Panel/>";
}
int RecordingExtension::GetMenuCount()
{
    note ("GetMenuCount");
    return 3;
}
std::string RecordingExtension::GetMenuName (int index)
{
    note ("GetMenuName " + std::to_string (index));
    return menuName;
}
void RecordingExtension::InvokeMenu (int index)
{
    note ("InvokeMenu " + std::to_string (index));
}

} // namespace tunewell::testrig

vantor::sdk::VantorAPI* vantor::sdk::CreateVantorExtension (void* hostHandle)
{
    using tunewell::testrig::RecordingExtension;

    if (RecordingExtension::failCreation)
        throw std::bad_alloc();

    if (RecordingExtension::createMinimal)
        return new tunewell::testrig::MinimalExtension (hostHandle);

    return new RecordingExtension (hostHandle);
}
