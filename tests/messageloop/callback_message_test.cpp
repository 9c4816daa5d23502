#include "messageloop/callback_message.h"
#include "messageloop/library_frames.h"

#include <functional>
#include <future>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace tunewell::messageloop
{
namespace
{
TEST (CallbackMessage, RunsItsCallbackOnceAndFreesIt)
{
    auto token = std::make_shared<int> (0);
    const std::intptr_t packed = packCallback ([token] { ++*token; });
    EXPECT_EQ (token.use_count(), 2);

    EXPECT_TRUE (runCallbackMessage (callbackMessageNumber, callbackMessageTag, packed));
    EXPECT_EQ (*token, 1);
    EXPECT_EQ (token.use_count(), 1);
}

TEST (CallbackMessage, IsWMAppTaggedWith0x6D51A7C3)
{
    // The format is fixed for senders outside this library, so the numbers
    // are written out rather than taken from the constants.
    int runs = 0;
    EXPECT_TRUE (runCallbackMessage (0x8000, 0x6D51A7C3, packCallback ([&runs] { ++runs; })));
    EXPECT_EQ (runs, 1);
}

TEST (CallbackMessage, FreesACallbackThatThrowsAndPassesTheErrorOn)
{
    auto token = std::make_shared<int> (0);
    const std::intptr_t packed = packCallback ([token] { throw std::runtime_error ("callback failed"); });

    EXPECT_THROW (runCallbackMessage (callbackMessageNumber, callbackMessageTag, packed), std::runtime_error);
    EXPECT_EQ (token.use_count(), 1);
}

TEST (CallbackMessage, ReportsAnEmptyCallbackAsABadFunctionCall)
{
    // The leak checker of the native build sees it if the empty one is kept.
    const std::intptr_t packed = packCallback (Callback {});
    EXPECT_THROW (runCallbackMessage (callbackMessageNumber, callbackMessageTag, packed), std::bad_function_call);
}

TEST (CallbackMessage, LeavesOtherMessagesAndTheirParametersUntouched)
{
    auto token = std::make_shared<int> (0);
    const std::intptr_t packed = packCallback ([token] { ++*token; });

    EXPECT_FALSE (runCallbackMessage (callbackMessageNumber, callbackMessageTag + 1, packed));
    EXPECT_FALSE (runCallbackMessage (callbackMessageNumber, callbackMessageTag | (std::uint64_t { 1 } << 32), packed));
    EXPECT_FALSE (runCallbackMessage (callbackMessageNumber + 1, callbackMessageTag, packed));
    EXPECT_FALSE (runCallbackMessage (0x0010, callbackMessageTag, packed));
    EXPECT_EQ (*token, 0);
    EXPECT_EQ (token.use_count(), 2);

    discardPackedCallback (packed);
    EXPECT_EQ (token.use_count(), 1);
}

TEST (CallbackMessage, IgnoresAMessageWithoutACallbackAddress)
{
    EXPECT_FALSE (runCallbackMessage (callbackMessageNumber, callbackMessageTag, 0));
    discardPackedCallback (0);
}

TEST (LibraryFrames, WorkWaitsForTheOutermostFrameAndRunsOnceWithWhatItQueuesInTurn)
{
    std::vector<std::string> order;
    EXPECT_FALSE (insideLibraryFrame());
    EXPECT_TRUE (runOutsideLibraryFrames ([&] { order.push_back ("at once"); }));

    {
        const LibraryFrame outer;
        {
            const LibraryFrame inner;
            runOutsideLibraryFrames ([&] {
                order.push_back ("first");
                // Frames opened by the work itself do not start the rest
                // underneath it; work it queues runs after it.
                const LibraryFrame nested;
                runOutsideLibraryFrames ([&] { order.push_back ("queued by the first"); });
                EXPECT_TRUE (insideLibraryFrame());
            });
            runOutsideLibraryFrames ([] { throw std::runtime_error ("dropped"); });
            runOutsideLibraryFrames ([&] { order.push_back ("second"); });
        }
        order.push_back ("inner closed");
    }

    EXPECT_EQ (order,
               (std::vector<std::string> { "at once", "inner closed", "first", "second", "queued by the first" }));
    EXPECT_FALSE (insideLibraryFrame());
}

TEST (LibraryFrames, AFrameOfAnotherThreadNeitherHoldsBackNorRunsThisThreadsWork)
{
    std::promise<void> opened, release;
    std::thread other ([&] {
        const LibraryFrame frame;
        opened.set_value();
        release.get_future().wait();
    });
    opened.get_future().wait();

    const auto thisThread = std::this_thread::get_id();
    std::thread::id ranOn;
    EXPECT_FALSE (insideLibraryFrame());
    EXPECT_TRUE (runOutsideLibraryFrames ([&] { ranOn = std::this_thread::get_id(); }));
    EXPECT_EQ (ranOn, thisThread);

    {
        const LibraryFrame frame;
        runOutsideLibraryFrames ([&] { ranOn = std::this_thread::get_id(); });
        ranOn = {};
        release.set_value();
        other.join();
        EXPECT_EQ (ranOn, std::thread::id {}) << "the other thread's outermost frame ran this thread's work";
    }
    EXPECT_EQ (ranOn, thisThread);
}

} // namespace
} // namespace tunewell::messageloop
