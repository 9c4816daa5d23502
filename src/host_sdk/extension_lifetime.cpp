#include "host_sdk/extension_lifetime.h"

#include <vector>

namespace vantor::sdk
{

VantorAPI* extensionInstance = nullptr;

namespace
{
int runningCalls = 0;
std::vector<VantorAPI*> retiredExtensions;

void deleteRetiredExtensions()
{
    auto retired = std::move (retiredExtensions);
    retiredExtensions.clear();

    for (auto* extension : retired)
        delete extension;
}
} // namespace

ExtensionCall::ExtensionCall()
{
    ++runningCalls;
}

ExtensionCall::~ExtensionCall()
{
    if (--runningCalls == 0)
        deleteRetiredExtensions();
}

void retireExtension()
{
    auto* extension = extensionInstance;
    extensionInstance = nullptr;

    if (extension == nullptr)
        return;

    try
    {
        retiredExtensions.push_back (extension);
    }
    catch (...)
    {
        // Without room to remember it, leaking beats deleting an object that
        // a running call may still use.
        return;
    }

    if (runningCalls == 0)
        deleteRetiredExtensions();
}

} // namespace vantor::sdk
