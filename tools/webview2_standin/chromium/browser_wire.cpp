#include "browser_wire.h"

#include <exception>

#include "json/json_parse.h"
#include "json/json_writer.h"
#include "json/string_appender.h"

namespace tunewell::standin::wire
{

namespace
{

using value::Value;
using value::ValueView;

Value operation (std::string_view op)
{
    auto object = Value::makeObject ("");
    object.addMember ("op", Value (op));
    return object;
}

std::string jsonOf (const ValueView& view)
{
    std::string text;
    json::StringAppender appender (text);
    json::Writer<json::StringAppender> (appender, 0).dump (view);
    return text;
}

DriverMessage invalid (std::string reason)
{
    DriverMessage message;
    message.detail = std::move (reason);
    return message;
}

DriverMessage readWebMessage (const ValueView& object)
{
    auto view = object["view"];
    auto text = object["text"];
    if (! view.isInt() || ! text.isString())
        return invalid ("a web message needs an integer view and a text");

    DriverMessage message;
    message.kind = DriverMessage::Kind::webMessage;
    message.viewId = static_cast<int> (view.get<int64_t>());
    message.text = std::string (text.readString());
    message.isJson = object["isJson"].isBool() && object["isJson"].readContentAs<bool>();
    return message;
}

DriverMessage readReply (const ValueView& object)
{
    auto seq = object["reply"];
    auto ok = object["ok"];
    if (! seq.isInt() || ! ok.isBool())
        return invalid ("a reply needs an integer number and ok");

    DriverMessage message;
    message.kind = DriverMessage::Kind::reply;
    message.seq = seq.get<int64_t>();
    message.ok = ok.readContentAs<bool>();

    if (message.ok)
        message.detail = jsonOf (object["result"]);
    else if (auto error = object["error"]; error.isString())
        message.detail = std::string (error.readString());
    else
        message.detail = "the driver gave no reason";

    return message;
}

} // namespace

Value viewOperation (std::string_view op, int viewId)
{
    auto object = operation (op);
    object.addMember ("view", Value (viewId));
    return object;
}

Value viewOperation (std::string_view op, int viewId, std::string_view member, std::string_view text)
{
    auto object = viewOperation (op, viewId);
    object.addMember (member, Value (text));
    return object;
}

Value boundsOperation (int viewId, int width, int height)
{
    auto object = viewOperation ("bounds", viewId);
    object.addMember ("width", Value (width));
    object.addMember ("height", Value (height));
    return object;
}

Value visibilityOperation (int viewId, bool visible)
{
    auto object = viewOperation ("visible", viewId);
    object.addMember ("visible", Value::makeBool (visible));
    return object;
}

Value request (std::string_view op)
{
    return operation (op);
}

std::string lineOf (const Value& object)
{
    return jsonOf (object);
}

DriverMessage readDriverLine (std::string_view line)
{
    Value parsed;
    try
    {
        std::string text (line);
        parsed = json::parse (text.c_str(), text.size(), false);
    }
    catch (const std::exception& error)
    {
        return invalid (std::string ("not JSON: ") + error.what());
    }

    if (! parsed.getView().isObject())
        return invalid ("not a JSON object");

    const auto& object = parsed.getView();
    if (object["event"].isString() && object["event"].readString() == "webMessage")
        return readWebMessage (object);
    if (! object["reply"].isVoid())
        return readReply (object);

    return invalid ("neither a web message nor a reply");
}

} // namespace tunewell::standin::wire
