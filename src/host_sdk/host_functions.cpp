#include "host_sdk/host_functions.h"

namespace vantor::sdk
{

#define TUNEWELL_DEFINE_HOST_FUNCTION(name, result, parameters) Vantor_##name##_Function Vantor_##name = nullptr;
TUNEWELL_VANTOR_HOST_FUNCTIONS (TUNEWELL_DEFINE_HOST_FUNCTION)
#undef TUNEWELL_DEFINE_HOST_FUNCTION

#define TUNEWELL_HOST_FUNCTION_NAME(name, result, parameters) "Vantor_" #name,
const char* const hostFunctionNames[hostFunctionCount] = { TUNEWELL_VANTOR_HOST_FUNCTIONS (
    TUNEWELL_HOST_FUNCTION_NAME) };
#undef TUNEWELL_HOST_FUNCTION_NAME

HostFunctionLookup hostFunctionLookup = nullptr;

void fillHostFunctionTable (void* hostHandle, HostFunctionLookup lookup)
{
    hostFunctionLookup = lookup;

    // Each entry is assigned in list order, so the host sees the names in
    // exactly the order of hostFunctionNames.
#define TUNEWELL_LOOK_UP_HOST_FUNCTION(name, result, parameters) \
    Vantor_##name = reinterpret_cast<Vantor_##name##_Function> ( \
        lookup != nullptr ? lookup (hostHandle, "Vantor_" #name) : nullptr);
    TUNEWELL_VANTOR_HOST_FUNCTIONS (TUNEWELL_LOOK_UP_HOST_FUNCTION)
#undef TUNEWELL_LOOK_UP_HOST_FUNCTION
}

} // namespace vantor::sdk
