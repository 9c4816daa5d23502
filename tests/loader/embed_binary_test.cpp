#include "embeddedLoaderArchive.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

namespace
{

TEST (EmbeddedBinary, HoldsEveryByteOfTheFileItWasMadeFrom)
{
    std::ifstream file (TUNEWELL_EMBEDDED_FILE, std::ios::binary);
    ASSERT_TRUE (file) << TUNEWELL_EMBEDDED_FILE;
    const std::vector<unsigned char> expected { std::istreambuf_iterator<char> (file),
                                                std::istreambuf_iterator<char>() };
    ASSERT_FALSE (expected.empty());
    const std::vector<unsigned char> embedded (tunewell::testrig::embeddedLoaderArchive,
                                               tunewell::testrig::embeddedLoaderArchive
                                                   + tunewell::testrig::embeddedLoaderArchiveSize);
    EXPECT_EQ (embedded, expected);
}

} // namespace
