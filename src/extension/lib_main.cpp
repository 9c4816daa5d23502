#include "extension/lib_main.h"

#include "extension/chooser_texts.h"

using namespace tunewell;

LibMain::LibMain (void* hostHandle) : VantorAPI (hostHandle) {}

LibMain::~LibMain()
{
    // The view's native window is a child of the window, so it goes first.
    chooserView.reset();
    chooserWindow.reset();
}

void LibMain::Initialization()
{
    for (auto* callback : chooser::hostCallbacks)
        registerCallback (callback);

    listenForWidget (chooser::showWidgetName, true);
}

std::string LibMain::GetProductDescription()
{
    return chooser::productDescriptionXml;
}

int LibMain::GetMenuCount()
{
    return chooser::menuEntryCount;
}

std::string LibMain::GetMenuName (int index)
{
    if (index < 0 || index >= GetMenuCount())
        return {};

    return chooser::menuEntries[index];
}

void LibMain::InvokeMenu (int index)
{
    if (index == 0)
        requestShow();
}

void LibMain::OnWidgetValueChanged (const std::string& widgetName, double value)
{
    if (widgetName == chooser::showWidgetName && value == 1.0)
        requestShow();
}

void LibMain::initChooser()
{
    requestShow();
}

void LibMain::requestShow()
{
    if (chooserOpen && chooserWindow != nullptr && ! isShowingEnding())
    {
        chooserWindow->bringToFront();
        return;
    }

    // The window opens only once the host reports setlist mode.
    showPending = true;
    switchToSetlistView();
}

void LibMain::OnModeChanged (int mode)
{
    if (mode == chooser::setlistMode && showPending)
    {
        showPending = false;
        showChooser();
    }
}

// A host that closes the extension from inside a showing (its own messages
// are dispatched by the showing's loop) must not be left inside that loop.
void LibMain::OnClose()
{
    endShowing();
}

void LibMain::OnSetlistChanged (const std::string&)
{
    updateChooser();
}

namespace vantor::sdk
{
VantorAPI* CreateVantorExtension (void* hostHandle)
{
    return new (std::nothrow) LibMain (hostHandle);
}
} // namespace vantor::sdk
