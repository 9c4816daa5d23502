#include "host_sdk/entry_points.h"

#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "host_sdk/entry_point_list.h"
#include "host_sdk/extension_lifetime.h"
#include "host_sdk/host_functions.h"
#include "host_sdk/host_strings.h"
#include "host_sdk/vantor_api.h"
#include "host_sdk/vantor_utils.h"

// Programs that load the library call its exports through the list's types.
#define TUNEWELL_CHECK_EXPORT(name, result, parameters) \
    static_assert (std::is_same_v<decltype (&::name), result (*) parameters>, \
                   #name " is declared otherwise than in entry_point_list.h");
TUNEWELL_LIBRARY_EXPORTS (TUNEWELL_CHECK_EXPORT)
#undef TUNEWELL_CHECK_EXPORT

using namespace vantor::sdk;

namespace
{

constexpr int sdkVersion = 46;

/// Runs one call on the registered extension, if there is one; an
/// exception ends the call with the neutral result.
template <typename Result, typename Call>
Result forward (Result neutralResult, Call&& call) noexcept
{
    try
    {
        ExtensionCall scope;

        if (auto* extension = scope.extension())
            return call (*extension);
    }
    catch (...)
    {
    }

    return neutralResult;
}

template <typename Call>
void forward (Call&& call) noexcept
{
    forward (0, [&] (VantorAPI& extension) {
        call (extension);
        return 0;
    });
}

/// A string result, copied out; a failed call leaves an empty string.
template <typename Call>
int forwardString (char* buffer, int bufferSize, Call&& call) noexcept
{
    try
    {
        ExtensionCall scope;
        std::string text;

        if (auto* extension = scope.extension())
            text = call (*extension);

        return copyToHostBuffer (text, buffer, bufferSize);
    }
    catch (...)
    {
        return copyToHostBuffer ({}, buffer, bufferSize);
    }
}

/// The host is done with the registered extension: it hears so through its
/// OnClose, and goes even when that fails.
void closeExtension() noexcept
{
    try
    {
        ExtensionCall scope;

        if (auto* extension = scope.extension())
        {
            try
            {
                extension->OnClose();
            }
            catch (...)
            {
            }
            retireExtension();
        }
    }
    catch (...)
    {
    }
}

std::vector<std::string> stringListFromHost (const char** list, int count)
{
    std::vector<std::string> strings;

    if (list != nullptr)
        for (int i = 0; i < count; ++i)
            strings.push_back (stringFromHost (list[i]));

    return strings;
}

} // namespace

TUNEWELL_EXPORT void InitializeImportedFunctions (void* hostHandle, HostFunctionLookup lookup)
{
    try
    {
        fillHostFunctionTable (hostHandle, lookup);
    }
    catch (...)
    {
    }
}

TUNEWELL_EXPORT void VantorRegister (HostFunctionLookup lookup, void* hostHandle)
{
    try
    {
        InitializeImportedFunctions (hostHandle, lookup);
        auto* created = CreateVantorExtension (hostHandle);

        // A host that registers again without closing would otherwise lose
        // the previous object, with its window and view, for good; and a
        // showing that it runs would go on for an extension that is gone.
        closeExtension();
        extensionInstance = created;
    }
    catch (...)
    {
        return;
    }

    forward ([] (VantorAPI& extension) { extension.Initialization(); });
}

TUNEWELL_EXPORT void VantorQueryLibrary (char* buffer, int bufferSize)
{
    // The temporary object passes through extensionInstance only while it
    // answers; a registered extension, if any, is put back afterwards.
    auto* registered = extensionInstance;

    try
    {
        std::unique_ptr<VantorAPI> temporary (CreateVantorExtension (nullptr));
        extensionInstance = temporary.get();
        forwardString (buffer, bufferSize, [] (VantorAPI& extension) { return extension.GetProductDescription(); });
    }
    catch (...)
    {
        copyToHostBuffer ({}, buffer, bufferSize);
    }

    extensionInstance = registered;
}

TUNEWELL_EXPORT int GetVantorSDKVersion()
{
    return sdkVersion;
}

TUNEWELL_EXPORT int GetMenuCount()
{
    return forward (0, [] (VantorAPI& extension) { return extension.GetMenuCount(); });
}

TUNEWELL_EXPORT int GetMenuName (int index, char* buffer, int bufferSize)
{
    return forwardString (buffer, bufferSize, [=] (VantorAPI& extension) { return extension.GetMenuName (index); });
}

TUNEWELL_EXPORT void InvokeMenu (int index)
{
    forward ([=] (VantorAPI& extension) { extension.InvokeMenu (index); });
}

TUNEWELL_EXPORT int GetPanelCount()
{
    return forward (0, [] (VantorAPI& extension) { return extension.GetPanelCount(); });
}

TUNEWELL_EXPORT int GetPanelName (int index, char* buffer, int bufferSize)
{
    return forwardString (buffer, bufferSize, [=] (VantorAPI& extension) { return extension.GetPanelName (index); });
}

TUNEWELL_EXPORT int GetPanelXML (int index, char* buffer, int bufferSize)
{
    return forwardString (buffer, bufferSize, [=] (VantorAPI& extension) { return extension.GetPanelXML (index); });
}

TUNEWELL_EXPORT int RequestVantorScriptFunctionSignatureList (int location,
                                                              ExternalAPI_VantorScriptFunctionDefinition** list)
{
    return forward (0, [=] (VantorAPI& extension) {
        return extension.RequestVantorScriptFunctionSignatureList (static_cast<VantorScript_AllowedLocations> (
                                                                       location),
                                                                   list);
    });
}

TUNEWELL_EXPORT void OnOpen()
{
    forward ([] (VantorAPI& extension) { extension.OnOpen(); });
}

TUNEWELL_EXPORT void OnClose()
{
    closeExtension();
}

TUNEWELL_EXPORT void OnStatusChanged (int status)
{
    forward ([=] (VantorAPI& extension) { extension.OnStatusChanged (static_cast<VantorStatusType> (status)); });
}

TUNEWELL_EXPORT void OnModeChanged (int mode)
{
    forward ([=] (VantorAPI& extension) { extension.OnModeChanged (mode); });
}

TUNEWELL_EXPORT void OnEditStateChanged (bool editing)
{
    forward ([=] (VantorAPI& extension) { extension.OnEditStateChanged (editing); });
}

TUNEWELL_EXPORT void OnSwitchToWiringView()
{
    forward ([] (VantorAPI& extension) { extension.OnSwitchToWiringView(); });
}

TUNEWELL_EXPORT void OnSwitchToPanelView()
{
    forward ([] (VantorAPI& extension) { extension.OnSwitchToPanelView(); });
}

TUNEWELL_EXPORT void OnTempoChanged (double tempo)
{
    forward ([=] (VantorAPI& extension) { extension.OnTempoChanged (tempo); });
}

TUNEWELL_EXPORT void OnGlobalPlayStateChanged (double state)
{
    forward ([=] (VantorAPI& extension) { extension.OnGlobalPlayStateChanged (state); });
}

TUNEWELL_EXPORT void OnTunerModeChanged (bool tunerShowing)
{
    forward ([=] (VantorAPI& extension) { extension.OnTunerModeChanged (tunerShowing); });
}

TUNEWELL_EXPORT void OnRackspaceActivated()
{
    forward ([] (VantorAPI& extension) { extension.OnRackspaceActivated(); });
}

TUNEWELL_EXPORT void OnSongChanged (int first, int second)
{
    forward ([=] (VantorAPI& extension) { extension.OnSongChanged (first, second); });
}

TUNEWELL_EXPORT void OnSongPartChanged (int first, int second)
{
    forward ([=] (VantorAPI& extension) { extension.OnSongPartChanged (first, second); });
}

TUNEWELL_EXPORT void OnVariationChanged (int first, int second)
{
    forward ([=] (VantorAPI& extension) { extension.OnVariationChanged (first, second); });
}

TUNEWELL_EXPORT void OnSetlistChanged (const char* setlistName)
{
    forward ([=] (VantorAPI& extension) { extension.OnSetlistChanged (stringFromHost (setlistName)); });
}

TUNEWELL_EXPORT void OnWidgetValueChanged (const char* widgetName, double value)
{
    forward ([=] (VantorAPI& extension) { extension.OnWidgetValueChanged (stringFromHost (widgetName), value); });
}

TUNEWELL_EXPORT void OnWidgetStateChanged (const char* widgetName, int state)
{
    forward ([=] (VantorAPI& extension) { extension.OnWidgetStateChanged (stringFromHost (widgetName), state); });
}

TUNEWELL_EXPORT void OnWidgetCaptionChanged (const char* widgetName, const char* caption)
{
    forward ([=] (VantorAPI& extension) {
        extension.OnWidgetCaptionChanged (stringFromHost (widgetName), stringFromHost (caption));
    });
}

TUNEWELL_EXPORT bool OnMidiIn (const char* deviceName, const unsigned char* data, int length)
{
    return forward (false, [=] (VantorAPI& extension) {
        return extension.OnMidiIn (stringFromHost (deviceName), data, length);
    });
}

TUNEWELL_EXPORT void OnMidiDeviceListChanged (const char** firstList, int firstCount, const char** secondList,
                                              int secondCount)
{
    forward ([=] (VantorAPI& extension) {
        auto first = stringListFromHost (firstList, firstCount);
        auto second = stringListFromHost (secondList, secondCount);
        extension.OnMidiDeviceListChanged (first, second);
    });
}
