#pragma once

#include <string>
#include <string_view>

namespace tunewell::ui
{

/// Decides what may load in a view and whose calls count. A browser left to
/// its defaults lets anything navigate it (a file dropped on the window, a
/// link, a script) and hands the host every message posted by any document;
/// a view serves only the pages its host opens itself. Portable: the browser
/// host asks it, with the URIs the browser reports.
class NavigationGuard
{
public:
    /// Resource-served pages live under this root ("https://host/").
    explicit NavigationGuard (std::string resourceRoot) : root (std::move (resourceRoot)) {}

    /// Called just before the host itself opens a page: a document string
    /// (whose location is about:blank) or a URL under the resource root.
    void hostNavigates (bool isDocument);

    /// Whether a navigation that is starting may go on: only one that the
    /// host asked for, and of the kind it asked for. A host navigation that
    /// is admitted is used up.
    bool admits (std::string_view uri);

    /// Whether a document of this URI is the host's page, so that its
    /// messages and permission requests count.
    bool isHostDocument (std::string_view sourceURI) const;

private:
    std::string root;
    int documentsExpected = 0;
    int pagesExpected = 0;
    // The URI that the browser reported for the admitted document string:
    // runtimes differ in how they name such a document.
    std::string admittedDocumentURI;
    enum class Shown
    {
        nothing,
        document,
        resources
    } shown = Shown::nothing;

    bool isUnderRoot (std::string_view uri) const;
};

/// A document string's own names: about:blank, or the data URL that carries it.
bool isDocumentStringURI (std::string_view uri);

} // namespace tunewell::ui
