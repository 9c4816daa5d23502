#include "host_sdk/vantor_utils.h"

#include "host_sdk/text_file.h"

#include <algorithm>
#include <sstream>

#include "text/hex_digits.h"

namespace vantor::sdk
{

double VantorUtils::Scale (double value, double inMin, double inMax, double outMin, double outMax)
{
    return ((value - inMin) * (outMax - outMin)) / (inMax - inMin) + outMin;
}

std::string VantorUtils::hex2binaryString (const std::string& hexText)
{
    std::string digits (hexText);
    digits.erase (std::remove (digits.begin(), digits.end(), ' '), digits.end());

    // Zero-filled first: bytes after an embedded zero in the text stay zero.
    std::string bytes (digits.size() / 2, '\0');
    hex2bin (digits.c_str(), bytes.data());
    return bytes;
}

std::string VantorUtils::hex2binaryString (const char* hexText)
{
    return hex2binaryString (std::string (hexText != nullptr ? hexText : ""));
}

std::string VantorUtils::intToHex (unsigned char value)
{
    const int sevenBits = value & 0x7F;
    return { tunewell::text::lowerHexDigits[sevenBits >> 4], tunewell::text::lowerHexDigits[sevenBits & 15] };
}

bool VantorUtils::fileExists (std::string path)
{
    return openTextFile (path).good();
}

void VantorUtils::loadTextFile (std::string path, std::string& contents)
{
    auto stream = openTextFile (path);

    if (! stream.good())
    {
        contents.clear();
        return;
    }

    std::ostringstream buffer;
    buffer << stream.rdbuf();
    contents = buffer.str();
}

} // namespace vantor::sdk
