#pragma once

#include "host_sdk/host_function_list.h"
#include "host_sdk/host_types.h"

namespace vantor::sdk
{

// One typed pointer per host function, named like the host function itself.
// All are null until registration fills them; afterwards they are only read.
#define TUNEWELL_DECLARE_HOST_FUNCTION(name, result, parameters) \
    using Vantor_##name##_Function = result (*) parameters; \
    extern Vantor_##name##_Function Vantor_##name;
TUNEWELL_VANTOR_HOST_FUNCTIONS (TUNEWELL_DECLARE_HOST_FUNCTION)
#undef TUNEWELL_DECLARE_HOST_FUNCTION

#define TUNEWELL_COUNT_HOST_FUNCTION(name, result, parameters) +1
inline constexpr int hostFunctionCount = 0 TUNEWELL_VANTOR_HOST_FUNCTIONS (TUNEWELL_COUNT_HOST_FUNCTION);
#undef TUNEWELL_COUNT_HOST_FUNCTION

/// The names asked for at registration, in the order they are asked for.
extern const char* const hostFunctionNames[hostFunctionCount];

/// The callback the table was last filled with (null before registration).
extern HostFunctionLookup hostFunctionLookup;

/// Looks up every host function by name and stores the answers unchanged;
/// a name the host does not know leaves a null entry. A null lookup leaves
/// every entry null.
void fillHostFunctionTable (void* hostHandle, HostFunctionLookup lookup);

} // namespace vantor::sdk
