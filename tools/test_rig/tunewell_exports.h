#pragma once

#include <string>
#include <vector>

#include "host_sdk/entry_point_list.h"
#include "library_loader.h"

namespace tunewell::testrig
{

/// The Tunewell library loaded from disk with every export resolved by
/// name; a missing export is null and listed in missingExports.
struct TunewellLibrary
{
    explicit TunewellLibrary (const std::string& path) : library (path)
    {
#define TUNEWELL_RESOLVE_EXPORT(name, result, parameters) \
    name = library.function<result (*) parameters> (#name); \
    if (name == nullptr) \
        missingExports.push_back (#name);
        TUNEWELL_LIBRARY_EXPORTS (TUNEWELL_RESOLVE_EXPORT)
#undef TUNEWELL_RESOLVE_EXPORT
    }

    LoadedLibrary library;
    std::vector<std::string> missingExports;

#define TUNEWELL_DECLARE_EXPORT(name, result, parameters) result (*name) parameters = nullptr;
    TUNEWELL_LIBRARY_EXPORTS (TUNEWELL_DECLARE_EXPORT)
#undef TUNEWELL_DECLARE_EXPORT
};

} // namespace tunewell::testrig
