#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace tunewell::ui
{

/// Why a view has no browser, as the performer is told.
enum class BrowserTrouble
{
    /// No runtime that the loader can use is installed.
    runtimeMissing,
    /// The browser profile folder cannot be written (access denied, disk full).
    profileFolderUnusable,
    /// The runtime is being updated, or was uninstalled under a running host.
    runtimeChanging,
    /// Any other failure to start the browser.
    notStarted,
    /// The browser stopped and could not be started again.
    stopped,
};

/// The trouble that a failed creation's result names. refusedAtCall: the
/// loader's creation call itself failed, which it does when it finds no
/// runtime; later failures come through the completion handlers.
BrowserTrouble creationTrouble (std::int32_t result, bool refusedAtCall);

/// What the view does about a failed process of its browser, by the
/// runtime's COREWEBVIEW2_PROCESS_FAILED_KIND.
enum class FailureResponse
{
    /// The runtime brings the process back by itself (GPU, utility, sandbox
    /// helper, plug-in, unknown, a subframe's renderer).
    none,
    /// The renderer exited: the page is an error page until reloaded.
    reload,
    /// The renderer hangs: reloaded once it has hung for too long.
    reloadWhenHungTooLong,
    /// The browser process exited with every view of it.
    recreate,
};

FailureResponse responseToProcessFailure (int kind);

/// A renderer still reported unresponsive this long after its first report
/// is reloaded. Microsoft's runtime repeats the report every few seconds
/// while the hang lasts; a few seconds of hang is already more than a
/// performer waits on stage, and a busy machine often recovers within them.
inline constexpr std::uint64_t hungPageReloadMilliseconds = 3000;

/// Follows the reports of one hang.
class HangWatch
{
public:
    /// One more report of the renderer being unresponsive; true when the
    /// page should be reloaded now (the watch then starts afresh).
    bool reportedUnresponsive (std::uint64_t nowMilliseconds);
    /// The page answered, or was replaced: no hang is going on.
    void pageResponded() { hungSince.reset(); }

private:
    std::optional<std::uint64_t> hungSince;
};

/// A browser that keeps dying is not recreated in a loop: at most
/// maximumRecreations recreations within recreationPeriodMilliseconds.
class RecreationBudget
{
public:
    static constexpr int maximumRecreations = 3;
    static constexpr std::uint64_t recreationPeriodMilliseconds = 60000;

    /// Takes one recreation at this moment; false when none is left.
    bool take (std::uint64_t nowMilliseconds);

private:
    std::vector<std::uint64_t> recreations;
};

} // namespace tunewell::ui
