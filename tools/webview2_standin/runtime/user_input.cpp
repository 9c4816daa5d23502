#include "user_input.h"

#include <cctype>
#include <cwctype>

#include "text/utf16.h"

namespace tunewell::standin
{

namespace
{

// Windows virtual-key codes, spelled out so that this stays free of the platform.
constexpr unsigned keyEscape = 0x1B, keyPageUp = 0x21, keyPageDown = 0x22, keyEnd = 0x23, keyHome = 0x24,
                   keyLeft = 0x25, keyUp = 0x26, keyRight = 0x27, keyDown = 0x28, keyF1 = 0x70;

struct NamedKey
{
    const wchar_t* name;
    unsigned virtualKey;
    bool extended;
};

constexpr NamedKey namedKeys[] = {
    { L"Escape", keyEscape, false }, { L"PageUp", keyPageUp, true }, { L"PageDown", keyPageDown, true },
    { L"End", keyEnd, true },        { L"Home", keyHome, true },     { L"Left", keyLeft, true },
    { L"Up", keyUp, true },          { L"Right", keyRight, true },   { L"Down", keyDown, true },
};

std::optional<std::pair<unsigned, bool>> keyNamed (const std::wstring& name)
{
    for (const auto& key : namedKeys)
        if (name == key.name)
            return std::pair { key.virtualKey, key.extended };

    if (name.size() == 1 && ((name[0] >= L'A' && name[0] <= L'Z') || (name[0] >= L'0' && name[0] <= L'9')))
        return std::pair { static_cast<unsigned> (name[0]), false };

    if (name.size() >= 2 && name.size() <= 3 && name[0] == L'F')
    {
        int number = 0;
        for (size_t i = 1; i < name.size(); ++i)
        {
            if (! std::iswdigit (name[i]))
                return std::nullopt;
            number = number * 10 + (name[i] - L'0');
        }
        if (number >= 1 && number <= 12 && name[1] != L'0')
            return std::pair { keyF1 + static_cast<unsigned> (number - 1), false };
    }

    return std::nullopt;
}

bool typesText (unsigned virtualKey)
{
    return (virtualKey >= L'A' && virtualKey <= L'Z') || (virtualKey >= L'0' && virtualKey <= L'9');
}

} // namespace

std::optional<KeyChord> parseKeyChord (const std::wstring& text)
{
    KeyChord chord;
    chord.text = text;

    std::wstring rest = text;
    for (;;)
    {
        auto plus = rest.find (L'+');
        if (plus == std::wstring::npos || plus + 1 == rest.size())
            break;

        auto modifier = rest.substr (0, plus);
        if (modifier == L"Ctrl" && ! chord.control)
            chord.control = true;
        else if (modifier == L"Shift" && ! chord.shift)
            chord.shift = true;
        else if (modifier == L"Alt" && ! chord.alt)
            chord.alt = true;
        else
            return std::nullopt;
        rest = rest.substr (plus + 1);
    }

    auto key = keyNamed (rest);
    if (! key)
        return std::nullopt;

    chord.virtualKey = key->first;
    chord.extended = key->second;
    if (typesText (chord.virtualKey) && ! chord.control && ! chord.alt)
        return std::nullopt;

    return chord;
}

KeyAction keyActionOf (const KeyChord& chord)
{
    const unsigned key = chord.virtualKey;
    const bool plain = ! chord.control && ! chord.shift && ! chord.alt;
    const bool controlOnly = chord.control && ! chord.shift && ! chord.alt;
    const bool controlShift = chord.control && chord.shift && ! chord.alt;
    const bool altOnly = chord.alt && ! chord.control && ! chord.shift;

    if ((plain && key == keyF1 + 4) || (controlOnly && key == L'R'))
        return KeyAction::reload;
    if ((plain && key == keyF1 + 11) || (controlShift && (key == L'C' || key == L'I' || key == L'J')))
        return KeyAction::devTools;
    if (controlOnly && key == L'P')
        return KeyAction::print;
    if ((controlOnly && key == L'F') || (plain && key == keyF1 + 2))
        return KeyAction::find;
    if (altOnly && key == keyLeft)
        return KeyAction::goBack;
    if (altOnly && key == keyRight)
        return KeyAction::goForward;
    if (plain && key >= keyPageUp && key <= keyDown)
        return KeyAction::scroll;
    if (controlOnly && (key == L'A' || key == L'C' || key == L'V' || key == L'X' || key == L'Z'))
        return KeyAction::edit;

    return KeyAction::none;
}

std::wstring fileUriOf (const std::wstring& path)
{
    const bool shared = path.rfind (L"\\\\", 0) == 0;
    std::wstring uri = shared ? L"file://" : L"file:///";

    // The path's UTF-8 bytes, each escaped unless a URI holds it as it is.
    static constexpr wchar_t upperHexDigits[] = L"0123456789ABCDEF";
    for (const unsigned char byte : text::utf16ToUtf8 (path.substr (shared ? 2 : 0)))
    {
        const bool safe = (byte < 0x80 && std::isalnum (byte)) || byte == '/' || byte == ':' || byte == '-'
                       || byte == '_' || byte == '.' || byte == '~';
        if (byte == '\\')
            uri += L'/';
        else if (safe)
            uri += static_cast<wchar_t> (byte);
        else
            uri += { L'%', upperHexDigits[byte >> 4], upperHexDigits[byte & 0xF] };
    }

    return uri;
}

} // namespace tunewell::standin
