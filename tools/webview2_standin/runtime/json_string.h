#pragma once

#include <string>

namespace tunewell::standin
{

/// The JSON text of a string value: quoted, with quotes, backslashes and
/// control characters escaped, everything else kept as it is.
std::wstring jsonStringLiteral (const std::wstring& text);

} // namespace tunewell::standin
