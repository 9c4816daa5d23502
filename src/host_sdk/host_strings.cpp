#include "host_sdk/host_strings.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace vantor::sdk
{

int copyToHostBuffer (const std::string& text, char* buffer, int bufferSize)
{
    const size_t length = std::strlen (text.c_str());

    if (length > static_cast<size_t> (INT_MAX))
        return -1;

    if (buffer != nullptr && bufferSize > 0)
    {
        const size_t copied = std::min (length, static_cast<size_t> (bufferSize) - 1);
        std::memcpy (buffer, text.data(), copied);
        buffer[copied] = '\0';
    }

    return static_cast<int> (length);
}

} // namespace vantor::sdk
