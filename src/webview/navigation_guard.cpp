#include "webview/navigation_guard.h"

namespace tunewell::ui
{

bool isDocumentStringURI (std::string_view uri)
{
    return uri == "about:blank" || uri.substr (0, 5) == "data:";
}

void NavigationGuard::hostNavigates (bool isDocument)
{
    ++(isDocument ? documentsExpected : pagesExpected);
}

bool NavigationGuard::admits (std::string_view uri)
{
    if (documentsExpected > 0 && isDocumentStringURI (uri))
    {
        --documentsExpected;
        admittedDocumentURI = uri;
        shown = Shown::document;
        return true;
    }

    if (pagesExpected > 0 && isUnderRoot (uri))
    {
        --pagesExpected;
        shown = Shown::resources;
        return true;
    }

    return false;
}

// Nothing else can be on show: every other navigation was cancelled. A
// document string calls from about:blank, whatever name its navigation had.
bool NavigationGuard::isHostDocument (std::string_view sourceURI) const
{
    switch (shown)
    {
        case Shown::document:
            return sourceURI == "about:blank" || sourceURI == admittedDocumentURI;
        case Shown::resources:
            return isUnderRoot (sourceURI);
        case Shown::nothing:
            break;
    }
    return false;
}

bool NavigationGuard::isUnderRoot (std::string_view uri) const
{
    return ! root.empty() && uri.substr (0, root.size()) == root;
}

} // namespace tunewell::ui
