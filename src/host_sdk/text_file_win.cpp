#include "host_sdk/text_file.h"

#include <filesystem>

#include "text/utf16.h"

namespace vantor::sdk
{

std::ifstream openTextFile (const std::string& utf8Path)
{
    // A narrow name would be read in the ANSI code page, where "Café" in
    // UTF-8 names another file; the path goes to the system as UTF-16.
    return std::ifstream (std::filesystem::path (tunewell::text::utf8ToUtf16 (utf8Path)));
}

} // namespace vantor::sdk
