#include "host_sdk/text_file.h"

namespace vantor::sdk
{

std::ifstream openTextFile (const std::string& utf8Path)
{
    // File names here are bytes, so UTF-8 ones need no conversion.
    return std::ifstream (utf8Path);
}

} // namespace vantor::sdk
