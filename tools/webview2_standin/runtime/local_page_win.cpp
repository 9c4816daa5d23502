#include "local_page_win.h"

#include "control_link_win.h"

namespace tunewell::standin
{

namespace
{

constexpr wchar_t blankDocument[] = L"about:blank";

} // namespace

LocalPage::LocalPage (int id, PageOwner& pageOwner) : viewId (id), owner (pageOwner)
{
    beginDocument (blankDocument, L"");
}

void LocalPage::navigate (const std::wstring& uri)
{
    // Only the latest navigation may replace the document, as in a browser
    // where a new navigation cancels the one still loading.
    auto navigation = ++navigationCount;
    owner.fetchDocument (uri, [this, navigation, uri] (std::optional<std::wstring> html) {
        if (navigation == navigationCount)
            beginDocument (uri, html.value_or (L""));
    });
}

void LocalPage::navigateToString (const std::wstring& html)
{
    ++navigationCount;
    beginDocument (blankDocument, html);
}

void LocalPage::addScriptOnDocumentCreated (const std::wstring& script)
{
    documentScripts.push_back (script);
}

void LocalPage::executeScript (const std::wstring& script)
{
    if (auto* control = controlInterface())
        control->scriptRan (viewId, script.c_str());
}

void LocalPage::postWebMessage (const std::wstring&) {}

void LocalPage::beginDocument (const std::wstring& source, const std::wstring& html)
{
    currentSource = source;

    auto* control = controlInterface();
    if (control == nullptr)
        return;

    control->beginDocument (viewId, source.c_str(), html.c_str());
    for (const auto& script : documentScripts)
        control->scriptRan (viewId, script.c_str());
}

} // namespace tunewell::standin
