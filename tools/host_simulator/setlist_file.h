#pragma once

#include <string>
#include <vector>

#include "test_host.h"

namespace host_simulator
{

struct Setlist
{
    std::string name;
    std::vector<tunewell::testrig::Song> songs;
};

/// Reads a setlist file's JSON text:
///   {"setlists": [{"name": "...", "songs": [{"name": "...", "artist": "...",
///                                            "parts": ["Intro", ...]}]}]}
/// A song without parts gets one part, "Part 1", since the host has no song
/// without one. Anything else throws std::runtime_error saying what is wrong.
std::vector<Setlist> readSetlists (const std::string& jsonText);

} // namespace host_simulator
