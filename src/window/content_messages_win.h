#pragma once

#include <windows.h>

namespace tunewell::ui
{

/// Sent by a desktop window to its content window whenever it moves: a child
/// hears nothing of its parent's moves otherwise, and content that places
/// things on the screen (a browser's dialogs, accessibility) must.
inline UINT parentWindowMovedMessage()
{
    static const UINT message = RegisterWindowMessageW (L"TunewellParentWindowMoved");
    return message;
}

} // namespace tunewell::ui
