#pragma once

#include "host_sdk/vantor_api.h"
#include "messageloop/library_frames.h"

namespace vantor::sdk
{

/// Marks one entry point's call into the extension object: a library frame,
/// so that an object the host closes from inside the call (a chooser running
/// its message loop dispatches the host's own messages) outlives every call
/// still running on it. Host thread only.
class ExtensionCall
{
public:
    ExtensionCall() { tunewell::messageloop::hostCallStarting(); }

    ExtensionCall (const ExtensionCall&) = delete;
    ExtensionCall& operator= (const ExtensionCall&) = delete;

    /// The registered object, or null when none exists.
    VantorAPI* extension() const { return extensionInstance; }

private:
    tunewell::messageloop::LibraryFrame frame;
};

/// Ends the registered object's life: extensionInstance becomes null at
/// once, the object makes no further host call, and it is deleted once no
/// code of the library is running any more (messageloop/library_frames.h).
void retireExtension();

} // namespace vantor::sdk
