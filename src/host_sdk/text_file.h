#pragma once

#include <fstream>
#include <string>

namespace vantor::sdk
{

/// Opens a file for reading in text mode, sharing it with other readers and
/// writers. The path is UTF-8, whatever the system's own code page; a path
/// that is not valid UTF-8 opens nothing.
std::ifstream openTextFile (const std::string& utf8Path);

} // namespace vantor::sdk
