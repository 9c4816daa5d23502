#include "webview/bridge_scripts.h"

#include "text/strings.h"

namespace tunewell::ui
{

const std::string_view bridgeScript =
    "window.external = { invoke: function(s) { window.chrome.webview.postMessage(s); } }";

const std::string_view bindingStubTemplate =
    "(function() {\n"
    "      var fnBinding = window._fnBindings = (window._fnBindings || { messageID: 1 });\n"
    "      window[\"FUNCTION_NAME\"] = function() {\n"
    "        var messageID = ++fnBinding.messageID;\n"
    "        var promise = new Promise(function(resolve, reject) {\n"
    "          fnBinding[messageID] = { resolve: resolve, reject: reject, };\n"
    "        });\n"
    "        window.external.invoke(JSON.stringify({\n"
    "          id: messageID,\n"
    "          fn: \"FUNCTION_NAME\",\n"
    "          params: Array.prototype.slice.call(arguments),\n"
    "        }));\n"
    "        return promise;\n"
    "      }\n"
    "    })()";

namespace
{
constexpr std::string_view functionNamePlaceholder = "FUNCTION_NAME";

std::string callItemFor (int64_t messageID)
{
    return "window._fnBindings[" + std::to_string (messageID) + "]";
}
} // namespace

std::string makeBindingStub (const std::string& name)
{
    // Inserted names are not searched again, so a name that itself holds the
    // placeholder goes in once per place.
    return text::replace (std::string (bindingStubTemplate), functionNamePlaceholder, name);
}

std::string makeResolveScript (int64_t messageID, const std::string& resultJSON)
{
    auto callItem = callItemFor (messageID);
    return callItem + ".resolve(" + resultJSON + "); delete " + callItem + ";";
}

std::string makeRejectScript (int64_t messageID)
{
    auto callItem = callItemFor (messageID);
    return callItem + ".reject(); delete " + callItem + ";";
}

} // namespace tunewell::ui
