#pragma once

#include <optional>
#include <string>

namespace tunewell::standin
{

/// A key with the modifiers held while it was pressed, as a test names it
/// ("Ctrl+Shift+C").
struct KeyChord
{
    std::wstring text;
    unsigned virtualKey = 0;
    bool control = false;
    bool shift = false;
    bool alt = false;
    /// Keys of the navigation cluster and arrows, flagged as extended in a
    /// key message.
    bool extended = false;
};

/// Null for an unknown key name, and for a letter or digit pressed without
/// Ctrl or Alt: that types text, which is no accelerator.
std::optional<KeyChord> parseKeyChord (const std::wstring& text);

/// What the browser does with a key nobody handled.
enum class KeyAction
{
    none,
    // Browser accelerator keys, which the settings can turn off.
    reload,
    devTools,
    print,
    find,
    goBack,
    goForward,
    // Never turned off.
    scroll,
    edit,
};

KeyAction keyActionOf (const KeyChord& chord);

/// The file: URI of a Windows path, as the browser navigates to a dropped
/// file: C:\a b\c.txt gives file:///C:/a%20b/c.txt, \\host\share\x gives
/// file://host/share/x; UTF-8 and percent-escapes for what a URI cannot hold
/// (a path that is not valid UTF-16 gives the bare scheme).
std::wstring fileUriOf (const std::wstring& path);

} // namespace tunewell::standin
