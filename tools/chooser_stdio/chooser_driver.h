#pragma once

#include <cstddef>

#include "event_writer.h"
#include "test_host.h"
#include "values/value_view.h"

namespace chooser_stdio
{

/// Runs the extension the way Vantor does, through its exported entry points,
/// over an in-process test host, and carries out the test's commands (see
/// protocol.md). A refused command throws std::exception with the reason.
class ChooserDriver
{
public:
    /// Registers the extension with the test host, as Vantor does at start-up.
    explicit ChooserDriver (EventWriter& events);
    /// Closes the extension, as Vantor does when it quits.
    ~ChooserDriver();

    ChooserDriver (const ChooserDriver&) = delete;
    ChooserDriver& operator= (const ChooserDriver&) = delete;

    void run (const tunewell::value::ValueView& command);

    /// Writes one hostCall event for every host call since the last report.
    void reportHostCalls();

private:
    EventWriter& events;
    tunewell::testrig::TestHost host;
    std::size_t reportedCalls = 0;

    void loadSetlist (const tunewell::value::ValueView& command);
    void renameSong (const tunewell::value::ValueView& command);
    void addSong (const tunewell::value::ValueView& command);
    void show();
    void reportSetlistChange();
    void deliverPageMessage (const tunewell::value::ValueView& command);
};

} // namespace chooser_stdio
