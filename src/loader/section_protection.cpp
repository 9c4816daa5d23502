#include "loader/section_protection.h"

#include "loader/pe_image.h"
#include "loader/pe_layout.h"

#include <algorithm>

namespace tunewell::memory
{
namespace
{

constexpr std::uint32_t pageNoCache = 0x200;

struct Region
{
    std::uint64_t address = 0;
    std::uint64_t alignedAddress = 0;
    std::uint64_t size = 0;
    std::uint32_t characteristics = 0;
};

std::uint64_t sectionSize (const MappedSection& section, const ProtectionSettings& settings)
{
    if (section.sizeOfRawData != 0)
        return section.sizeOfRawData;
    if ((section.characteristics & pe::scnContainsInitializedData) != 0)
        return settings.sizeOfInitializedData;
    if ((section.characteristics & pe::scnContainsUninitializedData) != 0)
        return settings.sizeOfUninitializedData;
    return 0;
}

Region regionOf (const MappedSection& section, const ProtectionSettings& settings)
{
    const std::uint64_t pageMask = ~(std::uint64_t { settings.pageSize } - 1);
    return { section.address, section.address & pageMask, sectionSize (section, settings), section.characteristics };
}

bool sharesPages (const Region& region, const Region& next)
{
    return next.alignedAddress == region.alignedAddress || region.address + region.size > next.alignedAddress;
}

void merge (Region& region, const Region& next)
{
    const bool bothDiscardable = (region.characteristics & next.characteristics & pe::scnMemDiscardable) != 0;
    region.size = next.address + next.size - region.address;
    region.characteristics |= next.characteristics;
    if (! bothDiscardable)
        region.characteristics &= ~pe::scnMemDiscardable;
}

// Decommitting frees whole pages, so a region may go only when its pages are
// its own: it starts on a page and, unless nothing follows it, it fills them.
bool mayDecommit (const Region& region, const ProtectionSettings& settings, bool isLast)
{
    if (region.address != region.alignedAddress)
        return false;
    return isLast || settings.sectionAlignment == settings.pageSize || region.size % settings.pageSize == 0;
}

void finish (Region region, const ProtectionSettings& settings, bool isLast, std::vector<ProtectionStep>& steps)
{
    if (region.address < settings.imageStart || region.address >= settings.imageEnd)
        return;
    region.size = std::min (region.size, settings.imageEnd - region.address);
    if (region.size == 0)
        return;
    if ((region.characteristics & pe::scnMemDiscardable) != 0)
    {
        if (mayDecommit (region, settings, isLast))
            steps.push_back ({ ProtectionStep::Kind::decommit, region.address, region.size, 0 });
        return;
    }
    steps.push_back (
        { ProtectionStep::Kind::protect, region.address, region.size, pageProtection (region.characteristics) });
}

} // namespace

std::uint32_t pageProtection (std::uint32_t characteristics)
{
    // Indexed by [execute][read][write].
    static constexpr std::uint32_t table[2][2][2] = {
        { { 0x01, 0x08 }, { 0x02, 0x04 } },
        { { 0x10, 0x80 }, { 0x20, 0x40 } },
    };
    const int execute = (characteristics & pe::scnMemExecute) != 0;
    const int read = (characteristics & pe::scnMemRead) != 0;
    const int write = (characteristics & pe::scnMemWrite) != 0;
    std::uint32_t protection = table[execute][read][write];
    if ((characteristics & pe::scnMemNotCached) != 0)
        protection |= pageNoCache;
    return protection;
}

std::vector<ProtectionStep> planSectionProtection (const std::vector<MappedSection>& sections,
                                                   const ProtectionSettings& settings)
{
    std::vector<ProtectionStep> steps;
    if (sections.empty() || settings.pageSize == 0)
        return steps;
    Region region = regionOf (sections.front(), settings);
    for (std::size_t i = 1; i < sections.size(); ++i)
    {
        const Region next = regionOf (sections[i], settings);
        if (sharesPages (region, next))
        {
            merge (region, next);
            continue;
        }
        finish (region, settings, false, steps);
        region = next;
    }
    finish (region, settings, true, steps);
    return steps;
}

} // namespace tunewell::memory
