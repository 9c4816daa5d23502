#pragma once

#include <string>

namespace vantor::sdk
{

/// A host string as a library string; a null pointer is an empty string.
inline std::string stringFromHost (const char* text)
{
    return text != nullptr ? std::string (text) : std::string();
}

/// Copies text into the host's buffer as snprintf with "%s" would: at most
/// bufferSize - 1 bytes and always a terminating zero, nothing at all for a
/// size of zero (or below, or a null buffer). Returns the text's full length
/// up to its first zero byte, so a result not below bufferSize means the
/// copy was cut short; -1 when that length does not fit an int.
int copyToHostBuffer (const std::string& text, char* buffer, int bufferSize);

} // namespace vantor::sdk
