#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "webview/browser_recovery.h"

namespace tunewell::ui
{

/// What a view without a browser shows instead of a blank page, one text per
/// cause, each telling the performer what to do.
extern const std::wstring_view missingRuntimeNotice;
extern const std::wstring_view browserNotStartedNotice;
extern const std::wstring_view runtimeChangingNotice;
extern const std::wstring_view browserStoppedNotice;
/// Shown while the browser starts, which can take seconds.
extern const std::wstring_view startingNotice;

/// The notice for this trouble; the profile folder's names that folder.
std::wstring troubleNoticeText (BrowserTrouble trouble, const std::wstring& userDataFolder);

/// A static text child of the view window that carries the notice; null when
/// it could not be created. Destroyed with its parent.
HWND createFallbackNotice (HWND viewWindow, std::wstring_view notice);

/// Keeps the notice filling the view window, inside a small margin.
void fitFallbackNotice (HWND viewWindow, HWND notice);

} // namespace tunewell::ui
