#pragma once

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "extension/lib_main.h"
#include "host_sdk/entry_points.h"
#include "recording_browser.h"
#include "test_host.h"

namespace tunewell::testrig
{

/// The chooser registered with a test host through the entry points, in
/// process, with the recording browser as its web view's backend.
class ChooserFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        VantorRegister (&TestHost::lookup, host.handle());
        host.clearLog();
    }

    void TearDown() override { OnClose(); }

    LibMain& chooser() { return dynamic_cast<LibMain&> (*vantor::sdk::extensionInstance); }

    /// Runs a show request and the host's answer to it.
    void openChooser()
    {
        InvokeMenu (0);
        OnModeChanged (1);
    }

    testrig::RecordingBrowser& browser()
    {
        auto* view = chooser().getChooserView();
        auto* recording = view != nullptr ? testrig::RecordingBrowser::of (*view) : nullptr;

        if (recording == nullptr)
            throw std::logic_error ("no chooser view");

        return *recording;
    }

    /// Posts one page call and returns the scripts the page was sent back.
    std::vector<std::string> callFromPage (const std::string& message)
    {
        browser().clearOperations();
        browser().postWebMessage (message);
        std::vector<std::string> scripts;

        for (auto& operation : browser().operations())
            scripts.push_back (operation.text);

        return scripts;
    }

    void setSongs (std::vector<std::pair<std::string, std::string>> namesAndArtists)
    {
        host.songs.clear();

        for (auto& [name, artist] : namesAndArtists)
            host.songs.push_back ({ name, artist, {}, "", "" });
    }

    TestHost host;
};

} // namespace tunewell::testrig
