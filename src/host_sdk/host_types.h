#pragma once

// Types that cross the boundary between Vantor and the library.

#if defined(_WIN32)
#define TUNEWELL_EXPORT extern "C" __declspec(dllexport)
#else
#define TUNEWELL_EXPORT extern "C" __attribute__ ((visibility ("default")))
#endif

extern "C"
{
/// The host's lookup callback: the address of the named host function, or
/// null when the host has none. Called only during registration.
using HostFunctionLookup = void* (*)(void* hostHandle, const char* functionName);
}

namespace vantor::sdk
{

/// Host-defined codes, passed through unchanged.
enum VantorStatusType : int
{
};
enum VantorScript_AllowedLocations : int
{
};

/// A host record that the library only ever handles by pointer.
struct ExternalAPI_VantorScriptFunctionDefinition;

} // namespace vantor::sdk
