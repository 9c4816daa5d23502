#pragma once

#include <windows.h>

#include <string_view>

namespace tunewell::ui
{

/// What a view without a browser shows instead of a blank page: the runtime
/// is missing (the loader found none it could use), or a runtime is there
/// but its browser did not start or has stopped.
extern const std::wstring_view missingRuntimeNotice;
extern const std::wstring_view browserNotStartedNotice;

/// A static text child of the view window that carries the notice; null when
/// it could not be created. Destroyed with its parent.
HWND createFallbackNotice (HWND viewWindow, std::wstring_view notice);

/// Keeps the notice filling the view window, inside a small margin.
void fitFallbackNotice (HWND viewWindow, HWND notice);

} // namespace tunewell::ui
