#pragma once

#include <gtest/gtest.h>

#include "tunewell_exports.h"

namespace tunewell::testrig
{

/// Tests of the built library loaded once per suite from `file`, as the host
/// loads it; each test closes the library, so the next one starts unregistered.
template <const char* file>
class BuiltLibrarySuite : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { library = new TunewellLibrary (file); }
    static void TearDownTestSuite() { delete library; }

    void SetUp() override { ASSERT_TRUE (library->library.isLoaded()) << file; }
    void TearDown() override { library->OnClose(); }

    static inline TunewellLibrary* library = nullptr;
};

} // namespace tunewell::testrig
