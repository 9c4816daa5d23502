#pragma once

#include <functional>
#include <optional>
#include <string>

namespace tunewell::standin
{

/// What a page needs from the browser view that shows it.
class PageOwner
{
public:
    virtual ~PageOwner() = default;

    /// Fetches a document through the view's resource requests; done runs in
    /// a later turn with the HTML, or without it when nothing answered.
    virtual void fetchDocument (const std::wstring& uri,
                                std::function<void (std::optional<std::wstring> html)> done) = 0;
};

/// The document side of one browser view: where navigations, scripts and
/// messages to the page go. The local model keeps the document for tests to
/// inspect; another backend may hand all of it to a real browser engine.
class Page
{
public:
    virtual ~Page() = default;

    virtual void navigate (const std::wstring& uri) = 0;
    virtual void navigateToString (const std::wstring& html) = 0;
    /// Applies to every document created from now on.
    virtual void addScriptOnDocumentCreated (const std::wstring& script) = 0;
    virtual void executeScript (const std::wstring& script) = 0;
    virtual void postWebMessage (const std::wstring& messageJson) = 0;
    /// The controller placed or showed the view's content.
    virtual void resize (int width, int height) = 0;
    virtual void setVisible (bool visible) = 0;
    /// The current document's URI.
    virtual std::wstring source() const = 0;
};

} // namespace tunewell::standin
