#pragma once

// The WebView2 interfaces as Microsoft released them: slot order and interface
// identifiers come from the package's own header (third_party, which says how
// MinGW compiles it), never from declarations of ours. Shared by the browser
// host and the stand-in runtime used by the tests.

#include <windows.h>

#include <WebView2.h>

/// The loader export that starts creating a browser environment. Any thread
/// that pumps messages; the runtime keeps a reference to the handler until it
/// has been invoked on that thread. Null folder and options: the defaults.
using CreateCoreWebView2EnvironmentWithOptionsFunction = decltype (&::CreateCoreWebView2EnvironmentWithOptions);

inline constexpr char createEnvironmentExportName[] = "CreateCoreWebView2EnvironmentWithOptions";
