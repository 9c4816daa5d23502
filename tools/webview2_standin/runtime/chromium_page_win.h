#pragma once

#include <string>

#include "../standin_runtime.h"
#include "local_page_win.h"

namespace tunewell::standin
{

/// A page that the real Chromium shows as well: everything goes to the
/// recorded model, as without Chromium, and also to the driver as one
/// operation line each. Web messages come back through the control, like
/// those that tests post.
class ChromiumPage final : public Page
{
public:
    ChromiumPage (int viewId, PageOwner& owner, const StandinRuntimeInterface& control);

    void navigate (const std::wstring& uri) override;
    void navigateToString (const std::wstring& html) override;
    void addScriptOnDocumentCreated (const std::wstring& script) override;
    void executeScript (const std::wstring& script) override;
    void postWebMessage (const std::wstring& messageJson) override;
    void resize (int width, int height) override;
    void setVisible (bool visible) override;
    std::wstring source() const override { return recorded.source(); }

private:
    void send (const std::string& line);
    void sendText (const char* op, const char* member, const std::wstring& text);

    int viewId;
    const StandinRuntimeInterface& control;
    LocalPage recorded;
};

} // namespace tunewell::standin
