#pragma once

#include <string>

#include "browser_link_win.h"
#include "control_state.h"

namespace tunewell::standin
{

/// Whether the views' pages go to a real Chromium through the driver, and
/// the link that carries them. Chromium mode is asked for by the variable
/// TUNEWELL_STANDIN_CHROMIUM=127.0.0.1:PORT or by connect(); without either
/// the runtime records only. Use it on the thread that runs the views.
class ChromiumMode
{
public:
    enum Status
    {
        unreachable = -1, ///< asked for, but the driver cannot be reached or the link broke
        recording = 0,
        connected = 1
    };

    explicit ChromiumMode (ControlState& state);

    /// Connects on the first call when the variable names an address.
    Status status();
    Status connect (const std::string& address);

    /// A browser operation of the runtime, one JSON object without line end.
    void send (const std::string& line);
    void viewAttached (int viewId);
    void viewDetached (int viewId);

    /// Asks the driver about the current view and keeps the answer's text
    /// for lastDetail(); the outcome as the control's request results.
    int ask (value::Value request);
    const std::string& lastDetail() const { return detail; }

private:
    void deliverPageMessage (int viewId, const std::string& text, bool isJson);

    ControlState& state;
    BrowserLink* link = nullptr;
    bool asked = false;
    bool readEnvironment = false;
    std::string detail;
};

} // namespace tunewell::standin
