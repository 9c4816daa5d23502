// chooser_stdio: the native chooser (the real bridge and the extension's
// handlers over the test host) with a browser at the other end of standard
// input and output, for the browser tests. One JSON object per line each way;
// see protocol.md.
#include <cstdint>
#include <exception>
#include <iostream>
#include <string>

#include "chooser_driver.h"
#include "event_writer.h"
#include "json/json_parse.h"
#include "recording_browser.h"

namespace
{

int64_t sequenceNumberOf (const tunewell::value::Value& command)
{
    return command.getView().isObject() ? command["seq"].getWithDefault<int64_t> (0) : 0;
}

} // namespace

int main()
{
    chooser_stdio::EventWriter events (std::cout);
    // Every browser operation becomes one event line: the test at the other
    // end is the browser.
    tunewell::testrig::RecordingBrowser::observeOperations (
        [&events] (const tunewell::testrig::BrowserOperation& operation) {
            const bool isPage = operation.kind == tunewell::testrig::BrowserOperation::Kind::navigateToString;
            events.write (tunewell::testrig::nameOf (operation.kind), isPage ? "html" : "script", operation.text);
        });
    chooser_stdio::ChooserDriver driver (events);

    std::string line;
    while (std::getline (std::cin, line))
    {
        auto idle = chooser_stdio::makeEvent ("idle");
        int64_t sequenceNumber = 0;
        try
        {
            auto command = tunewell::json::parse (line.c_str(), line.size(), false);
            sequenceNumber = sequenceNumberOf (command);
            driver.run (command.getView());
        }
        catch (const std::exception& error)
        {
            idle.addMember ("error", tunewell::value::Value (error.what()));
        }
        driver.reportHostCalls();
        idle.addMember ("seq", tunewell::value::Value (sequenceNumber));
        events.write (idle);
    }
    return 0;
}
