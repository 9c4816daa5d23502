#include "messageloop/callback_message.h"

#include <memory>
#include <utility>

namespace tunewell::messageloop
{

std::intptr_t packCallback (Callback callback)
{
    return reinterpret_cast<std::intptr_t> (new Callback (std::move (callback)));
}

void discardPackedCallback (std::intptr_t packed) noexcept
{
    delete reinterpret_cast<Callback*> (packed);
}

bool runCallbackMessage (std::uint32_t message, std::uint64_t wParam, std::intptr_t lParam)
{
    if (message != callbackMessageNumber || wParam != callbackMessageTag || lParam == 0)
        return false;

    const std::unique_ptr<Callback> callback (reinterpret_cast<Callback*> (lParam));
    (*callback)();
    return true;
}

} // namespace tunewell::messageloop
