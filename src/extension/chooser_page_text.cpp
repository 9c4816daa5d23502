#include "extension/chooser_page.h"

// The page's bytes, embedded by the build from chooser_page.html.
#include "chooserPageBytes.h"

namespace tunewell
{

// The embedded bytes are unsigned, which lets every byte of the page stand in
// the array as it is; the text constant reads them as the characters they are.
const char* const chooserPageHtml = reinterpret_cast<const char*> (chooserPageBytes);

} // namespace tunewell
