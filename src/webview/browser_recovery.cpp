#include "webview/browser_recovery.h"

#include <algorithm>

namespace tunewell::ui
{

namespace
{
// HRESULT_FROM_WIN32 of the Win32 codes, written out so that the rule builds
// and is tested without the platform's headers.
constexpr std::uint32_t fromWin32 (std::uint32_t code)
{
    return 0x80070000u | code;
}

constexpr std::uint32_t accessDenied = fromWin32 (5); // E_ACCESSDENIED too
constexpr std::uint32_t writeProtected = fromWin32 (19);
constexpr std::uint32_t handleDiskFull = fromWin32 (39);
constexpr std::uint32_t fileExists = fromWin32 (80);
constexpr std::uint32_t diskFull = fromWin32 (112);
constexpr std::uint32_t productUninstalled = fromWin32 (1614);
} // namespace

// Microsoft names these results of CreateCoreWebView2EnvironmentWithOptions:
// E_ACCESSDENIED and ERROR_FILE_EXISTS when the user data folder cannot be
// created, ERROR_DISK_FULL when old runtime versions fill the disk, and
// ERROR_PRODUCT_UNINSTALLED when the runtime in use was uninstalled.
BrowserTrouble creationTrouble (std::int32_t result, bool refusedAtCall)
{
    switch (static_cast<std::uint32_t> (result))
    {
        case accessDenied:
        case writeProtected:
        case handleDiskFull:
        case fileExists:
        case diskFull:
            return BrowserTrouble::profileFolderUnusable;
        case productUninstalled:
            return BrowserTrouble::runtimeChanging;
        default:
            return refusedAtCall ? BrowserTrouble::runtimeMissing : BrowserTrouble::notStarted;
    }
}

FailureResponse responseToProcessFailure (int kind)
{
    switch (kind)
    {
        case 0:
            return FailureResponse::recreate;
        case 1:
            return FailureResponse::reload;
        case 2:
            return FailureResponse::reloadWhenHungTooLong;
        default:
            return FailureResponse::none;
    }
}

bool HangWatch::reportedUnresponsive (std::uint64_t now)
{
    if (! hungSince || now < *hungSince)
        hungSince = now;

    if (now - *hungSince < hungPageReloadMilliseconds)
        return false;

    hungSince.reset();
    return true;
}

bool RecreationBudget::take (std::uint64_t now)
{
    recreations.erase (std::remove_if (recreations.begin(), recreations.end(),
                                       [now] (std::uint64_t at) {
                                           return now < at || now - at >= recreationPeriodMilliseconds;
                                       }),
                       recreations.end());

    if (recreations.size() >= static_cast<std::size_t> (maximumRecreations))
        return false;

    recreations.push_back (now);
    return true;
}

} // namespace tunewell::ui
