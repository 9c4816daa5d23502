#pragma once

#include "host_sdk/vantor_api.h"

namespace vantor::sdk
{

/// Marks one entry point's call into the extension object. The host may
/// close the library from inside such a call (a chooser running its message
/// loop dispatches the host's own messages), and the object must outlive
/// every call still running on it. Host thread only.
class ExtensionCall
{
public:
    ExtensionCall();
    ~ExtensionCall();

    ExtensionCall (const ExtensionCall&) = delete;
    ExtensionCall& operator= (const ExtensionCall&) = delete;

    /// The registered object, or null when none exists.
    VantorAPI* extension() const { return extensionInstance; }
};

/// Ends the registered object's life: extensionInstance becomes null at
/// once, and the object is deleted now, or when the outermost call still
/// running on it returns.
void retireExtension();

} // namespace vantor::sdk
