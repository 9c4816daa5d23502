#pragma once

#include <optional>
#include <string>

namespace tunewell::ui
{

/// The path that a resource provider is asked for: the URI from the "/" that
/// ends the root on ("/" for the root itself). Empty when the URI is too
/// short to lie under the root.
std::optional<std::string> resourcePathFromURI (const std::string& uri, const std::string& rootURL);

/// The header lines of a served resource, without a final line feed.
std::string resourceResponseHeaders (const std::string& mimeType);

} // namespace tunewell::ui
