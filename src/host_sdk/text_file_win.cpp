#include "host_sdk/text_file.h"

#include "text/utf16.h"

namespace vantor::sdk
{

std::ifstream openTextFile (const std::string& utf8Path)
{
    // A narrow name would be read in the ANSI code page, where "Café" in
    // UTF-8 names another file; the path goes to the system as UTF-16.
    // (Both MSVC's and MinGW's streams take a wide name; std::filesystem
    // would add its whole library to the DLL for this one call.)
    return std::ifstream (tunewell::text::utf8ToUtf16 (utf8Path).c_str());
}

} // namespace vantor::sdk
