#pragma once

// The final page protection of a mapped image's sections. Sections that share
// pages are merged into one region first, because protection is set per page.

#include <cstdint>
#include <vector>

namespace tunewell::memory
{

struct MappedSection
{
    std::uint64_t address = 0;
    std::uint32_t sizeOfRawData = 0;
    std::uint32_t characteristics = 0;
};

struct ProtectionSettings
{
    std::uint32_t pageSize = 0;
    std::uint32_t sectionAlignment = 0;
    std::uint32_t sizeOfInitializedData = 0;
    std::uint32_t sizeOfUninitializedData = 0;
    // Regions are kept inside [imageStart, imageEnd), whatever the section
    // table claims.
    std::uint64_t imageStart = 0;
    std::uint64_t imageEnd = 0;
};

struct ProtectionStep
{
    enum class Kind
    {
        protect,
        decommit
    };
    Kind kind = Kind::protect;
    std::uint64_t address = 0;
    std::uint64_t size = 0;
    std::uint32_t protection = 0; // PAGE_* value, for Kind::protect
};

// PAGE_* value for a section's execute, read, write and not-cached flags.
std::uint32_t pageProtection (std::uint32_t characteristics);

// The protection changes and decommits, in order, for the sections in their
// table order.
std::vector<ProtectionStep> planSectionProtection (const std::vector<MappedSection>& sections,
                                                   const ProtectionSettings& settings);

} // namespace tunewell::memory
