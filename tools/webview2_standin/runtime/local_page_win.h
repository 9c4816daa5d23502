#pragma once

#include <string>
#include <vector>

#include "page.h"

namespace tunewell::standin
{

/// A page that runs nothing: it keeps the current document (its source, its
/// HTML, the scripts that ran in it) and reports each change to the control
/// under the view's identifier.
class LocalPage final : public Page
{
public:
    LocalPage (int viewId, PageOwner& owner);

    void navigate (const std::wstring& uri) override;
    void navigateToString (const std::wstring& html) override;
    void addScriptOnDocumentCreated (const std::wstring& script) override;
    void executeScript (const std::wstring& script) override;
    void postWebMessage (const std::wstring& messageJson) override;
    // The recorded model has no pixels; the log keeps bounds and visibility.
    void resize (int, int) override {}
    void setVisible (bool) override {}
    std::wstring source() const override { return currentSource; }

private:
    void beginDocument (const std::wstring& source, const std::wstring& html);

    int viewId;
    PageOwner& owner;
    std::wstring currentSource;
    std::vector<std::wstring> documentScripts;
    unsigned navigationCount = 0;
};

} // namespace tunewell::standin
