#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "values/value.h"

namespace tunewell::standin::wire
{

/// The lines that the stand-in exchanges with the Chromium driver: one JSON
/// object per line, UTF-8, written here as pure ASCII. See
/// tools/chromium_driver/protocol.md.

/// {"op": op, "view": viewId}, ready for further members.
value::Value viewOperation (std::string_view op, int viewId);

/// A view operation that carries one text member, such as the script of
/// "executeScript" or the document of "navigateToString".
value::Value viewOperation (std::string_view op, int viewId, std::string_view member, std::string_view text);

value::Value boundsOperation (int viewId, int width, int height);
value::Value visibilityOperation (int viewId, bool visible);

/// {"op": op}: a request, which gets its number "seq" when it is sent; the
/// driver answers it with a reply of the same number.
value::Value request (std::string_view op);

/// The object as one line of compact JSON, without the line end.
std::string lineOf (const value::Value& object);

/// One line from the driver, read. Lines that are not JSON objects, or lack
/// the members of their kind, are Kind::invalid with the reason in detail.
struct DriverMessage
{
    enum class Kind
    {
        webMessage, ///< the page of viewId posted text (JSON text when isJson)
        reply,      ///< the answer to request seq: ok, and the result's JSON or the error
        invalid
    };

    Kind kind = Kind::invalid;
    int viewId = 0;
    std::string text;
    bool isJson = false;
    int64_t seq = 0;
    bool ok = false;
    /// A reply's result as JSON text, or its error message; why a line is invalid.
    std::string detail;
};

DriverMessage readDriverLine (std::string_view line);

} // namespace tunewell::standin::wire
