#pragma once

// Winsock 2 before windows.h, which would bring in the old winsock.h.
#include <winsock2.h>
#include <windows.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "chromium/browser_wire.h"

namespace tunewell::standin
{

/// The loopback TCP connection to the Chromium driver. Lines go out from the
/// thread that opened the link; a reader thread of its own takes the
/// driver's lines, hands replies to the waiting request and queues page
/// messages for the opening thread, which gets them from its message queue.
/// Lives until the process ends: its reader may be blocked in a receive.
class BrowserLink
{
public:
    /// What a request came back with.
    struct Answer
    {
        enum class Outcome
        {
            done,
            refused,    ///< the driver answered with an error
            unreachable ///< no link, the link broke, or no answer in time
        };

        Outcome outcome = Outcome::unreachable;
        /// The result's JSON text, or why it failed.
        std::string detail;
    };

    using PageMessageHandler = std::function<void (int viewId, const std::string& text, bool isJson)>;

    /// Connects to "127.0.0.1:PORT" (any other host is refused); null with
    /// the reason in error when that fails. Page messages reach onPageMessage
    /// on the calling thread, from inside its message dispatch.
    static BrowserLink* open (const std::string& address, PageMessageHandler onPageMessage, std::string& error);

    /// False once the link is broken; the line is then dropped.
    bool send (const value::Value& object);
    /// The same for a line already written, without its line end.
    bool sendLine (std::string line);

    /// Sends a request (its "seq" is filled in here) and waits for the reply,
    /// at most timeoutMs.
    Answer ask (value::Value request, DWORD timeoutMs);

    bool isBroken() const;
    /// Why it broke; empty while it works.
    std::string brokenReason() const;

private:
    BrowserLink (SOCKET socket, HWND window, PageMessageHandler onPageMessage);

    static LRESULT CALLBACK windowProcedure (HWND, UINT, WPARAM, LPARAM);
    void readLines();
    void takeLine (const std::string& line);
    void breakLink (std::string reason);
    void deliverPageMessages();

    SOCKET socket;
    HWND window;
    PageMessageHandler onPageMessage;

    mutable std::mutex lock;
    std::condition_variable replied;
    std::map<int64_t, wire::DriverMessage> replies;
    std::deque<wire::DriverMessage> pageMessages;
    std::string broken;
    int64_t lastSeq = 0;
};

} // namespace tunewell::standin
