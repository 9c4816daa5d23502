#include "loader/section_protection.h"

#include "loader/pe_image.h"
#include "loader/pe_layout.h"

#include <gtest/gtest.h>

namespace tunewell::memory
{

// Found by argument lookup, which skips unnamed namespaces.
inline bool operator== (const ProtectionStep& a, const ProtectionStep& b)
{
    return a.kind == b.kind && a.address == b.address && a.size == b.size && a.protection == b.protection;
}

inline std::ostream& operator<< (std::ostream& out, const ProtectionStep& step)
{
    return out << (step.kind == ProtectionStep::Kind::protect ? "protect " : "decommit ") << std::hex << step.address
               << "+" << step.size << " as " << step.protection;
}

namespace
{

constexpr std::uint32_t code = pe::scnMemExecute | pe::scnMemRead;
constexpr std::uint32_t data = pe::scnMemRead | pe::scnMemWrite | pe::scnContainsInitializedData;
constexpr std::uint32_t readOnly = pe::scnMemRead | pe::scnContainsInitializedData;
constexpr std::uint32_t discardable = pe::scnMemRead | pe::scnMemDiscardable;
constexpr std::uint64_t base = 0x7FF600000000ull;

ProtectionSettings settings()
{
    ProtectionSettings result;
    result.pageSize = 0x1000;
    result.sectionAlignment = 0x1000;
    result.sizeOfInitializedData = 0x2400;
    result.sizeOfUninitializedData = 0x300;
    result.imageStart = base;
    result.imageEnd = base + 0x10000;
    return result;
}

ProtectionStep protect (std::uint64_t offset, std::uint64_t size, std::uint32_t protection)
{
    return { ProtectionStep::Kind::protect, base + offset, size, protection };
}

ProtectionStep decommit (std::uint64_t offset, std::uint64_t size)
{
    return { ProtectionStep::Kind::decommit, base + offset, size, 0 };
}

TEST (PageProtection, FollowsTheExecuteReadWriteFlags)
{
    const std::uint32_t execute = pe::scnMemExecute, read = pe::scnMemRead, write = pe::scnMemWrite;
    EXPECT_EQ (pageProtection (0), 0x01u);
    EXPECT_EQ (pageProtection (write), 0x08u);
    EXPECT_EQ (pageProtection (read), 0x02u);
    EXPECT_EQ (pageProtection (read | write), 0x04u);
    EXPECT_EQ (pageProtection (execute), 0x10u);
    EXPECT_EQ (pageProtection (execute | write), 0x80u);
    EXPECT_EQ (pageProtection (execute | read), 0x20u);
    EXPECT_EQ (pageProtection (execute | read | write), 0x40u);
    EXPECT_EQ (pageProtection (read | pe::scnMemNotCached), 0x202u);
    EXPECT_EQ (pageProtection (read | pe::scnContainsInitializedData | pe::scnMemDiscardable), 0x02u);
}

TEST (SectionProtection, ProtectsSectionsOnTheirOwnPagesOneByOne)
{
    const std::vector<MappedSection> sections = {
        { base + 0x1000, 0x1200, code },
        { base + 0x3000, 0x200, readOnly },
        { base + 0x4000, 0x200, data },
    };
    EXPECT_EQ (planSectionProtection (sections, settings()),
               (std::vector<ProtectionStep> { protect (0x1000, 0x1200, 0x20), protect (0x3000, 0x200, 0x02),
                                              protect (0x4000, 0x200, 0x04) }));
}

TEST (SectionProtection, MergesSectionsThatSharePages)
{
    // With 512-byte alignment, .rdata and .data start inside the page of .text.
    ProtectionSettings small = settings();
    small.sectionAlignment = 0x200;
    const std::vector<MappedSection> sections = {
        { base + 0x1000, 0x600, code },
        { base + 0x1600, 0x200, readOnly },
        { base + 0x1800, 0x1000, data },
        { base + 0x3000, 0x200, readOnly },
    };
    EXPECT_EQ (planSectionProtection (sections, small),
               (std::vector<ProtectionStep> { protect (0x1000, 0x1800, 0x40), protect (0x3000, 0x200, 0x02) }));
}

TEST (SectionProtection, SizesSectionsWithoutRawDataFromTheImageTotals)
{
    const std::vector<MappedSection> sections = {
        { base + 0x1000, 0, readOnly },
        { base + 0x5000, 0, pe::scnContainsUninitializedData | pe::scnMemRead | pe::scnMemWrite },
        { base + 0x6000, 0, pe::scnMemRead },
    };
    EXPECT_EQ (planSectionProtection (sections, settings()),
               (std::vector<ProtectionStep> { protect (0x1000, 0x2400, 0x02), protect (0x5000, 0x300, 0x04) }));
}

TEST (SectionProtection, DecommitsDiscardableRegionsOnlyWhereTheirPagesAreTheirOwn)
{
    ProtectionSettings small = settings();
    small.sectionAlignment = 0x200;
    const std::vector<MappedSection> sections = {
        { base + 0x1000, 0x200, discardable },  // page aligned, partial page, not last: kept
        { base + 0x2000, 0x2000, discardable }, // whole pages: decommitted
        { base + 0x5000, 0x200, code },
        { base + 0x6000, 0x300, discardable }, // last region: decommitted even though partial
    };
    EXPECT_EQ (planSectionProtection (sections, small),
               (std::vector<ProtectionStep> { decommit (0x2000, 0x2000), protect (0x5000, 0x200, 0x20),
                                              decommit (0x6000, 0x300) }));
    EXPECT_EQ (planSectionProtection (sections, settings()).front(), decommit (0x1000, 0x200))
        << "page-sized alignment lets a partial page go";
}

TEST (SectionProtection, KeepsDiscardingOnlyWhenEveryMergedSectionIsDiscardable)
{
    ProtectionSettings small = settings();
    small.sectionAlignment = 0x200;
    const std::vector<MappedSection> mixed = {
        { base + 0x1000, 0x200, discardable },
        { base + 0x1200, 0x200, readOnly },
    };
    EXPECT_EQ (planSectionProtection (mixed, small), (std::vector<ProtectionStep> { protect (0x1000, 0x400, 0x02) }));
    const std::vector<MappedSection> both = {
        { base + 0x1000, 0x200, discardable },
        { base + 0x1200, 0x200, discardable | pe::scnMemExecute },
    };
    EXPECT_EQ (planSectionProtection (both, small), (std::vector<ProtectionStep> { decommit (0x1000, 0x400) }));
}

TEST (SectionProtection, NeverReachesOutsideTheImage)
{
    ProtectionSettings bounded = settings();
    bounded.imageEnd = base + 0x3000;
    const std::vector<MappedSection> sections = {
        { base + 0x1000, 0, readOnly }, // 0x2400 bytes claimed by the totals
        { base + 0x7000, 0x200, code }, // wholly outside
    };
    EXPECT_EQ (planSectionProtection (sections, bounded),
               (std::vector<ProtectionStep> { protect (0x1000, 0x2000, 0x02) }));
    const std::vector<MappedSection> below = { { base - 0x1000, 0x200, code }, { base + 0x2000, 0x200, code } };
    EXPECT_EQ (planSectionProtection (below, bounded), (std::vector<ProtectionStep> { protect (0x2000, 0x200, 0x20) }));
}

} // namespace
} // namespace tunewell::memory
