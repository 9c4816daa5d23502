#pragma once

// WebView2.h includes "EventToken.h", as the Windows SDK spells it; MinGW-w64
// ships the same declaration as <eventtoken.h>, and Linux file names are
// case-sensitive. Only MinGW builds put this folder on the include path.
#include <eventtoken.h>
