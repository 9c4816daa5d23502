#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tunewell::ui
{

/// Gives every document `window.external.invoke(s)`, which posts s to the
/// native side. A backend registers it once the browser exists, before any
/// binding stub, because every stub calls it.
extern const std::string_view bridgeScript;

/// The page-side half of one binding; "FUNCTION_NAME" stands for the bound
/// name at both of its places.
extern const std::string_view bindingStubTemplate;

/// The stub for one bound name. The name goes in verbatim: binding names are
/// chosen by native code, never by page content.
std::string makeBindingStub (const std::string& name);

/// Scripts that settle the page promise stored under one message ID.
std::string makeResolveScript (int64_t messageID, const std::string& resultJSON);
std::string makeRejectScript (int64_t messageID);

} // namespace tunewell::ui
