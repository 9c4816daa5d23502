#include "webview/webview_resources.h"

#include "text/strings.h"

namespace tunewell::ui
{

std::optional<std::string> resourcePathFromURI (const std::string& uri, const std::string& rootURL)
{
    // Only URIs under the root pass the view's filter, so the prefix itself
    // needs no comparison.
    if (rootURL.empty() || uri.size() < rootURL.size())
        return std::nullopt;

    return uri.substr (rootURL.size() - 1);
}

std::string resourceResponseHeaders (const std::string& mimeType)
{
    return text::joinStrings ({ "Content-Type: " + mimeType, "Cache-Control: no-store" }, "\n");
}

} // namespace tunewell::ui
