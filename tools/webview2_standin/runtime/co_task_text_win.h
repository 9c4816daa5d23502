#pragma once

#include <windows.h>

#include <string>

namespace tunewell::standin
{

/// Hands a text to a caller that frees it with CoTaskMemFree.
HRESULT returnText (const std::wstring& text, LPWSTR* out);

} // namespace tunewell::standin
