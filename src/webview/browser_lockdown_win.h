#pragma once

#include "webview/webview2_win.h"

namespace tunewell::ui
{

/// Takes from a new browser, before its first document, what a general
/// browser offers and a view's page does not need: DevTools, the default
/// context menus and script dialogs, the status bar, the browser's own keys
/// (find, print, reload, back; scrolling keys stay) and documents dropped from
/// outside. A runtime too old for an interface keeps that default.
void lockDownBrowser (ICoreWebView2& view, ICoreWebView2Controller& controller);

} // namespace tunewell::ui
