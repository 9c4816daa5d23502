// The chooser extension that the entry points make in a program that runs
// the chooser in process: its showings stay in process, over recording
// browsers, so the program follows the page and the host step by step.

#include <new>

#include "extension/lib_main.h"
#include "recording_browser.h"

vantor::sdk::VantorAPI* vantor::sdk::CreateVantorExtension (void* hostHandle)
{
    using namespace tunewell;

    try
    {
        return new LibMain (hostHandle, chooser::makeInProcessShowing (testsupport::recordingBrowsers()));
    }
    catch (const std::bad_alloc&)
    {
        return nullptr;
    }
}
