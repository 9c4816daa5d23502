#include "webview/browser_lockdown_win.h"

#include "webview/com_ref_win.h"

namespace tunewell::ui
{
namespace
{
template <typename Interface>
ComRef<Interface> queryFor (IUnknown& object, REFIID iid)
{
    ComRef<Interface> answer;
    if (FAILED (object.QueryInterface (iid, reinterpret_cast<void**> (answer.receive()))))
        answer.reset();
    return answer;
}

void restrictSettings (ICoreWebView2Settings& settings)
{
    settings.put_AreDevToolsEnabled (FALSE);
    settings.put_AreDefaultContextMenusEnabled (FALSE);
    settings.put_IsStatusBarEnabled (FALSE);
    settings.put_AreDefaultScriptDialogsEnabled (FALSE);

    if (auto settings3 = queryFor<ICoreWebView2Settings3> (settings, IID_ICoreWebView2Settings3))
        settings3->put_AreBrowserAcceleratorKeysEnabled (FALSE);
}
} // namespace

void lockDownBrowser (ICoreWebView2& view, ICoreWebView2Controller& controller)
{
    ComRef<ICoreWebView2Settings> settings;
    if (SUCCEEDED (view.get_Settings (settings.receive())) && settings)
        restrictSettings (*settings.get());

    // A setlist or a PDF dragged onto the window would otherwise replace the
    // page with itself.
    if (auto controller4 = queryFor<ICoreWebView2Controller4> (controller, IID_ICoreWebView2Controller4))
        controller4->put_AllowExternalDrop (FALSE);
}

} // namespace tunewell::ui
