#include "browser_link_win.h"

#include <ws2tcpip.h>

#include <chrono>
#include <thread>
#include <vector>

namespace tunewell::standin
{

namespace
{

constexpr UINT pageMessagesWaiting = WM_APP + 0x58;
constexpr wchar_t windowClassName[] = L"TunewellStandinBrowserLink";

bool parseLoopbackAddress (const std::string& address, sockaddr_in& socketAddress)
{
    // Loopback only: the driver runs on this machine, and nothing else may be reached.
    const std::string host = "127.0.0.1:";
    if (address.compare (0, host.size(), host) != 0)
        return false;

    auto portText = address.substr (host.size());
    if (portText.empty() || portText.size() > 5 || portText.find_first_not_of ("0123456789") != std::string::npos)
        return false;

    auto port = std::stoi (portText);
    if (port <= 0 || port > 65535)
        return false;

    socketAddress = {};
    socketAddress.sin_family = AF_INET;
    socketAddress.sin_port = htons (static_cast<u_short> (port));
    socketAddress.sin_addr.s_addr = htonl (INADDR_LOOPBACK);
    return true;
}

HWND createDeliveryWindow()
{
    auto instance = GetModuleHandleW (nullptr);
    WNDCLASSEXW windowClass {};
    windowClass.cbSize = sizeof (windowClass);
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = windowClassName;
    RegisterClassExW (&windowClass);
    return CreateWindowExW (0, windowClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
}

SOCKET connectTo (const sockaddr_in& address, std::string& error)
{
    WSADATA data {};
    if (WSAStartup (MAKEWORD (2, 2), &data) != 0)
    {
        error = "Winsock did not start";
        return INVALID_SOCKET;
    }

    auto s = ::socket (AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET)
    {
        error = "no socket (" + std::to_string (WSAGetLastError()) + ")";
        return INVALID_SOCKET;
    }

    if (::connect (s, reinterpret_cast<const sockaddr*> (&address), sizeof (address)) != 0)
    {
        error = "connection refused (" + std::to_string (WSAGetLastError()) + ")";
        closesocket (s);
        return INVALID_SOCKET;
    }

    // Lines are small and each one should go at once.
    BOOL noDelay = TRUE;
    setsockopt (s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*> (&noDelay), sizeof (noDelay));
    return s;
}

} // namespace

BrowserLink* BrowserLink::open (const std::string& address, PageMessageHandler onPageMessage, std::string& error)
{
    sockaddr_in socketAddress {};
    if (! parseLoopbackAddress (address, socketAddress))
    {
        error = "\"" + address + "\" is not 127.0.0.1:PORT";
        return nullptr;
    }

    auto window = createDeliveryWindow();
    if (window == nullptr)
    {
        error = "no window for page messages";
        return nullptr;
    }

    auto s = connectTo (socketAddress, error);
    if (s == INVALID_SOCKET)
    {
        DestroyWindow (window);
        error = "cannot reach the Chromium driver at " + address + ": " + error;
        return nullptr;
    }

    auto* link = new BrowserLink (s, window, std::move (onPageMessage));
    SetWindowLongPtrW (window, GWLP_USERDATA, reinterpret_cast<LONG_PTR> (link));
    SetWindowLongPtrW (window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR> (windowProcedure));
    std::thread ([link] { link->readLines(); }).detach();
    return link;
}

BrowserLink::BrowserLink (SOCKET connected, HWND deliveryWindow, PageMessageHandler handler)
    : socket (connected), window (deliveryWindow), onPageMessage (std::move (handler))
{
}

LRESULT CALLBACK BrowserLink::windowProcedure (HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == pageMessagesWaiting)
        if (auto* link = reinterpret_cast<BrowserLink*> (GetWindowLongPtrW (window, GWLP_USERDATA)))
            link->deliverPageMessages();

    return DefWindowProcW (window, message, wParam, lParam);
}

bool BrowserLink::send (const value::Value& object)
{
    return sendLine (wire::lineOf (object));
}

bool BrowserLink::sendLine (std::string line)
{
    line += '\n';
    std::lock_guard<std::mutex> guard (lock);
    if (! broken.empty())
        return false;

    for (size_t sent = 0; sent < line.size();)
    {
        auto count = ::send (socket, line.data() + sent, static_cast<int> (line.size() - sent), 0);
        if (count == SOCKET_ERROR)
        {
            broken = "sending failed (" + std::to_string (WSAGetLastError()) + ")";
            replied.notify_all();
            return false;
        }
        sent += static_cast<size_t> (count);
    }
    return true;
}

BrowserLink::Answer BrowserLink::ask (value::Value request, DWORD timeoutMs)
{
    int64_t seq = 0;
    {
        std::lock_guard<std::mutex> guard (lock);
        seq = ++lastSeq;
    }
    request.addMember ("seq", value::Value (seq));

    if (! send (request))
        return { Answer::Outcome::unreachable, "the link to the Chromium driver is broken: " + brokenReason() };

    std::unique_lock<std::mutex> guard (lock);
    auto answered = replied.wait_for (guard, std::chrono::milliseconds (timeoutMs),
                                      [&] { return replies.count (seq) != 0 || ! broken.empty(); });

    auto found = replies.find (seq);
    if (found == replies.end())
        return { Answer::Outcome::unreachable,
                 answered ? "the link to the Chromium driver broke: " + broken
                          : "the Chromium driver did not answer within " + std::to_string (timeoutMs) + " ms" };

    auto reply = std::move (found->second);
    replies.erase (found);
    return { reply.ok ? Answer::Outcome::done : Answer::Outcome::refused, std::move (reply.detail) };
}

bool BrowserLink::isBroken() const
{
    std::lock_guard<std::mutex> guard (lock);
    return ! broken.empty();
}

std::string BrowserLink::brokenReason() const
{
    std::lock_guard<std::mutex> guard (lock);
    return broken;
}

void BrowserLink::readLines()
{
    std::string pending;
    std::vector<char> chunk (64 * 1024);

    for (;;)
    {
        auto count = ::recv (socket, chunk.data(), static_cast<int> (chunk.size()), 0);
        if (count <= 0)
        {
            breakLink (count == 0 ? "the Chromium driver closed the connection"
                                  : "receiving failed (" + std::to_string (WSAGetLastError()) + ")");
            return;
        }

        pending.append (chunk.data(), static_cast<size_t> (count));
        for (auto end = pending.find ('\n'); end != std::string::npos; end = pending.find ('\n'))
        {
            takeLine (pending.substr (0, end));
            pending.erase (0, end + 1);
        }
    }
}

void BrowserLink::takeLine (const std::string& line)
{
    auto message = wire::readDriverLine (line);
    std::lock_guard<std::mutex> guard (lock);

    switch (message.kind)
    {
        case wire::DriverMessage::Kind::reply:
            replies[message.seq] = std::move (message);
            replied.notify_all();
            break;
        case wire::DriverMessage::Kind::webMessage:
            pageMessages.push_back (std::move (message));
            PostMessageW (window, pageMessagesWaiting, 0, 0);
            break;
        case wire::DriverMessage::Kind::invalid:
            // A driver that speaks another protocol is as good as none.
            broken = "the Chromium driver sent an unreadable line (" + message.detail + ")";
            replied.notify_all();
            break;
    }
}

void BrowserLink::breakLink (std::string reason)
{
    std::lock_guard<std::mutex> guard (lock);
    if (broken.empty())
        broken = std::move (reason);
    replied.notify_all();
}

void BrowserLink::deliverPageMessages()
{
    for (;;)
    {
        wire::DriverMessage message;
        {
            std::lock_guard<std::mutex> guard (lock);
            if (pageMessages.empty())
                return;
            message = std::move (pageMessages.front());
            pageMessages.pop_front();
        }
        // Outside the lock: the handler may send, and may run a nested loop.
        onPageMessage (message.viewId, message.text, message.isJson);
    }
}

} // namespace tunewell::standin
