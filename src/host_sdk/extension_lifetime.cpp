#include "host_sdk/extension_lifetime.h"

namespace vantor::sdk
{

VantorAPI* extensionInstance = nullptr;

void retireExtension()
{
    auto* extension = extensionInstance;
    extensionInstance = nullptr;

    if (extension == nullptr)
        return;

    // Code still running on it (a page's call whose host call closed the
    // extension) may go on; the host has been told it is gone.
    extension->disconnectFromHost();

    // Without room to remember it, leaking beats deleting an object that a
    // running call may still use.
    static_cast<void> (tunewell::messageloop::runOutsideLibraryFrames ([extension] { delete extension; }));
}

} // namespace vantor::sdk
