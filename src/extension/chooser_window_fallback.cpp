// The showing used where the platform's chooser window is not built (the
// native build, which has no desktop window), and by the in-process tests on
// every platform (tunewell_extension_fallback). It opens no window and runs
// no loop: it creates the web view on whatever browser backend is linked,
// binds the page functions and loads the page, then returns at once, so the
// hand-shake with the host and the page calls can be followed in tests.

#include "extension/chooser_page.h"
#include "extension/lib_main.h"

bool LibMain::showChooser()
{
    showPending = false;

    // The new view exists before the previous one is destroyed.
    auto view = std::make_unique<tunewell::ui::WebView>();
    chooserView = std::move (view);

    bindChooserFunctions (*chooserView);
    chooserView->loadHTML (tunewell::chooserPageHtml);
    return false;
}

// Without a loop there is no showing to end, only the window to destroy.
void LibMain::closeChooserFromPage()
{
    chooserWindow.reset();
}

// Without a loop no showing is ever in progress.
void LibMain::endShowing() {}

bool LibMain::isShowingEnding() const
{
    return false;
}
