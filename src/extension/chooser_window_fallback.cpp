// The platform side of a showing where the platform's chooser window is not
// built (the native build, which has no desktop window), and for the
// in-process tests on every platform (tunewell_extension_fallback). The
// session is the same; only the platform differs: no window, and a loop that
// returns at once, so the view is created on whatever browser backend is
// linked, the page is loaded, and the hand-shake with the host and the page
// calls can be followed in tests.

#include "extension/lib_main.h"

void LibMain::createChooserWindowAndView()
{
    // The new view exists before the previous one is destroyed.
    auto view = std::make_unique<tunewell::ui::WebView>();
    chooserView = std::move (view);
}

// Nothing waits here: the showing is over as soon as the page is loaded.
std::optional<int> LibMain::runLoopUntilTold()
{
    return std::nullopt;
}

void LibMain::hideChooserWindow() {}
void LibMain::wakeShowing() {}
void LibMain::passQuitToHost (int) {}
