#include "messageloop/class_registration_win.h"

#include <cstdlib>

namespace tunewell::messageloop
{
namespace
{
// rand() is never seeded here and its state is per thread in the C runtime,
// so another thread or module may already own the first names drawn.
constexpr int maximumNameAttempts = 16;

void drawName (std::string& name, const std::string& baseName)
{
    name = baseName + std::to_string (std::rand());
}

void drawName (std::wstring& name, const std::wstring& baseName)
{
    name = baseName + std::to_wstring (std::rand());
}

ATOM registerRecord (const WNDCLASSEXA& record)
{
    return RegisterClassExA (&record);
}

ATOM registerRecord (const WNDCLASSEXW& record)
{
    return RegisterClassExW (&record);
}

// The ANSI and the Unicode class differ in the messages that their windows
// receive, so each caller keeps its own kind; the naming is the same.
template <typename Record, typename Text>
ATOM registerUnderDrawnName (Record& record, const Text& baseName, Text& name)
{
    for (int attempt = 0; attempt < maximumNameAttempts; ++attempt)
    {
        drawName (name, baseName);
        record.lpszClassName = name.c_str();

        if (const ATOM atom = registerRecord (record); atom != 0)
            return atom;
        if (GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
            return 0;
    }
    return 0;
}
} // namespace

ATOM registerUniquelyNamedClass (WNDCLASSEXA& record, const std::string& baseName, std::string& name)
{
    return registerUnderDrawnName (record, baseName, name);
}

ATOM registerUniquelyNamedClass (WNDCLASSEXW& record, const std::wstring& baseName, std::wstring& name)
{
    return registerUnderDrawnName (record, baseName, name);
}

} // namespace tunewell::messageloop
