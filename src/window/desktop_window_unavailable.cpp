// Where no desktop window can be created (the native build), every
// DesktopWindow is a window that could not be created: a null window on
// which every operation does nothing.

#include "window/desktop_window.h"

namespace tunewell::ui
{

struct DesktopWindow::Pimpl
{};

DesktopWindow::DesktopWindow (Bounds) {}
DesktopWindow::~DesktopWindow() = default;
void DesktopWindow::setTitle (const std::string&) {}
void DesktopWindow::addResizableStyles() {}
void DesktopWindow::setClientSize (int, int) {}
void DesktopWindow::fitIntoWorkArea() {}
void DesktopWindow::setMinimumTrackSize (int, int) {}
void DesktopWindow::setMaximumTrackSize (int, int) {}
void DesktopWindow::hide() {}
void DesktopWindow::setContentView (void*) {}
void DesktopWindow::releaseContentView() {}
void DesktopWindow::resizeContentToFit() {}
void DesktopWindow::bringToFront() {}
void* DesktopWindow::nativeHandle() const
{
    return nullptr;
}

} // namespace tunewell::ui
