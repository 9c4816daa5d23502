#pragma once

#include <string>

#include "host_sdk/host_types.h"

namespace vantor::sdk
{

/// Stateless helpers that come with the host interface; safe on any thread.
struct VantorUtils
{
    /// Maps value linearly from [inMin, inMax] to [outMin, outMax] without
    /// clamping; an empty input range gives infinity or NaN.
    static double Scale (double value, double inMin, double inMax, double outMin, double outMax);

    /// Decodes hex digit pairs, ignoring spaces; other characters count as
    /// zero digits and an odd final digit is dropped.
    static std::string hex2binaryString (const std::string& hexText);
    /// The same for zero-terminated text; null decodes as empty text.
    static std::string hex2binaryString (const char* hexText);

    /// Two lower-case hex digits of the value's low seven bits.
    static std::string intToHex (unsigned char value);

    /// True when the file can be opened for reading.
    static bool fileExists (std::string path);

    /// The file's text, or empty contents when it cannot be read.
    static void loadTextFile (std::string path, std::string& contents);
};

} // namespace vantor::sdk

/// Decodes hex digit pairs of zero-terminated text into bytes at target,
/// which needs room for half the text's length; writes no terminator.
/// Null text or a null target decode nothing.
TUNEWELL_EXPORT void hex2bin (const char* hexText, char* target);
