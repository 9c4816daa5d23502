#include "handler_check_win.h"

#include <objbase.h>

#include <string>

#include "control_link_win.h"

namespace tunewell::standin
{

namespace
{

std::wstring identifierText (REFIID iid)
{
    wchar_t text[40] {};
    StringFromGUID2 (iid, text, 40);
    return text;
}

bool answers (IUnknown* handler, REFIID iid)
{
    void* answered = nullptr;
    if (FAILED (handler->QueryInterface (iid, &answered)) || answered == nullptr)
    {
        record (L"HandlerRefused", identifierText (iid));
        return false;
    }

    static_cast<IUnknown*> (answered)->Release();
    return true;
}

} // namespace

bool answersAsComObject (IUnknown* handler, REFIID ownInterface)
{
    if (handler == nullptr || ! currentBehaviour().queryHandlers)
        return true;

    return answers (handler, IID_IUnknown) && answers (handler, ownInterface);
}

} // namespace tunewell::standin
