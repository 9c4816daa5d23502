#pragma once

#include <string>

#include <windows.h>

namespace tunewell::messageloop
{

/// Registers the record's class under baseName followed by a decimal rand()
/// value, drawing another value while the name drawn belongs to a class that
/// exists already, up to a fixed number of draws. Returns the atom, or 0 when
/// registration failed for another reason or every name drawn was taken.
/// name receives the last name drawn, which record.lpszClassName points at.
ATOM registerUniquelyNamedClass (WNDCLASSEXA& record, const std::string& baseName, std::string& name);
ATOM registerUniquelyNamedClass (WNDCLASSEXW& record, const std::wstring& baseName, std::wstring& name);

} // namespace tunewell::messageloop
