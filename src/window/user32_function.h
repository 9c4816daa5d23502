#pragma once

namespace tunewell::ui
{

/// Looks up an optional user32 function by its exported name, for functions
/// that older systems lack. Returns its address, or null when user32 or the
/// function is missing. Any thread may call it. The address stays valid after
/// the lookup releases its own module reference, because every process that
/// has windows keeps user32 loaded. Cast the result to the function's type.
void* getUser32Function (const char* functionName);

} // namespace tunewell::ui
