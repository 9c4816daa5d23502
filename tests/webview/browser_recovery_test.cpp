// What the browser host makes of a failed creation and of a failed process,
// and how far it goes in bringing a browser back.

#include "webview/browser_recovery.h"

#include <gtest/gtest.h>

namespace tunewell::ui
{
namespace
{

constexpr std::int32_t fromWin32 (std::uint32_t code)
{
    return static_cast<std::int32_t> (0x80070000u | code);
}

TEST (BrowserRecovery, aFailedCreationNamesItsCauseByResultAndWhereItFailed)
{
    struct Case
    {
        std::int32_t result;
        bool refusedAtCall;
        BrowserTrouble trouble;
    };
    const std::int32_t accessDenied = fromWin32 (5), diskFull = fromWin32 (112), fileExists = fromWin32 (80),
                       uninstalled = fromWin32 (1614), fileNotFound = fromWin32 (2), fail = fromWin32 (0x4005);

    for (auto [result, refusedAtCall, trouble] : {
             Case { accessDenied, true, BrowserTrouble::profileFolderUnusable },
             Case { accessDenied, false, BrowserTrouble::profileFolderUnusable },
             Case { diskFull, true, BrowserTrouble::profileFolderUnusable },
             Case { fromWin32 (39), false, BrowserTrouble::profileFolderUnusable },
             Case { fileExists, true, BrowserTrouble::profileFolderUnusable },
             Case { uninstalled, true, BrowserTrouble::runtimeChanging },
             Case { uninstalled, false, BrowserTrouble::runtimeChanging },
             Case { fileNotFound, true, BrowserTrouble::runtimeMissing },
             Case { fail, true, BrowserTrouble::runtimeMissing },
             Case { fileNotFound, false, BrowserTrouble::notStarted },
             Case { 0, false, BrowserTrouble::notStarted },
         })
    {
        SCOPED_TRACE (testing::Message() << std::hex << result << (refusedAtCall ? " at the call" : " later"));
        EXPECT_EQ (creationTrouble (result, refusedAtCall), trouble);
    }
}

TEST (BrowserRecovery, onlyTheBrowsersRendererAndItsOwnExitNeedTheHost)
{
    const FailureResponse byKind[] = { FailureResponse::recreate, FailureResponse::reload,
                                       FailureResponse::reloadWhenHungTooLong };

    for (int kind = -1; kind <= 12; ++kind)
        EXPECT_EQ (responseToProcessFailure (kind), kind >= 0 && kind < 3 ? byKind[kind] : FailureResponse::none)
            << kind;
}

TEST (BrowserRecovery, aHangIsReloadedOnceReportedForTheThresholdAndThenWatchedAfresh)
{
    HangWatch watch;
    EXPECT_FALSE (watch.reportedUnresponsive (1000));
    EXPECT_FALSE (watch.reportedUnresponsive (1000 + hungPageReloadMilliseconds - 1));
    EXPECT_TRUE (watch.reportedUnresponsive (1000 + hungPageReloadMilliseconds));
    EXPECT_FALSE (watch.reportedUnresponsive (1000 + hungPageReloadMilliseconds + 10));

    // A page that answered meanwhile starts a new hang; so does a clock that
    // went back.
    watch.pageResponded();
    EXPECT_FALSE (watch.reportedUnresponsive (20000));
    EXPECT_FALSE (watch.reportedUnresponsive (500));
    EXPECT_TRUE (watch.reportedUnresponsive (500 + hungPageReloadMilliseconds));
}

TEST (BrowserRecovery, aBrowserThatKeepsDyingIsRecreatedOnlySoOftenWithinThePeriod)
{
    RecreationBudget budget;
    const auto period = RecreationBudget::recreationPeriodMilliseconds;

    for (int recreation = 0; recreation < RecreationBudget::maximumRecreations; ++recreation)
        EXPECT_TRUE (budget.take (1000 + recreation)) << recreation;

    EXPECT_FALSE (budget.take (2000));
    EXPECT_FALSE (budget.take (1000 + period - 1));
    EXPECT_TRUE (budget.take (1000 + period));
    EXPECT_FALSE (budget.take (1000 + period));
}

} // namespace
} // namespace tunewell::ui
