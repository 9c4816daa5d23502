// The chooser extension that the entry points make in a program that runs
// the chooser in process: its showings stay in process, over recording
// browsers, so the program follows the page and the host step by step.

#include "extension/lib_main.h"
#include "recording_browser.h"

vantor::sdk::VantorAPI* vantor::sdk::CreateVantorExtension (void* hostHandle)
{
    using namespace tunewell;

    return LibMain::create (hostHandle,
                            [] { return chooser::makeInProcessShowing (testrig::recordingBrowsers()); });
}
