#include "webview/navigation_guard.h"

#include <gtest/gtest.h>

namespace tunewell::ui
{
namespace
{
constexpr char root[] = "https://tunewell.localhost/";

TEST (NavigationGuard, admitsOnlyTheNavigationsTheHostStartedAndOfTheirKind)
{
    NavigationGuard guard (root);
    EXPECT_FALSE (guard.admits ("about:blank")) << "nothing was asked for yet";

    guard.hostNavigates (true);
    EXPECT_FALSE (guard.admits ("file:///C:/Setlists/show.pdf")) << "a dropped file is not the host's document";
    EXPECT_FALSE (guard.admits ("https://tunewell.localhost/")) << "a document string was asked for, not a page";
    EXPECT_TRUE (guard.admits ("data:text/html;charset=utf-8;base64,PGgxPg=="));
    EXPECT_FALSE (guard.admits ("about:blank")) << "one host navigation admits one navigation";

    guard.hostNavigates (false);
    EXPECT_FALSE (guard.admits ("https://example.com/"));
    EXPECT_FALSE (guard.admits ("https://tunewell.localhost.example.com/")) << "the root is a prefix with its slash";
    EXPECT_TRUE (guard.admits ("https://tunewell.localhost/"));
}

TEST (NavigationGuard, countsOnlyTheShownHostDocumentAsACaller)
{
    NavigationGuard guard (root);
    EXPECT_FALSE (guard.isHostDocument ("about:blank")) << "nothing is shown yet";

    guard.hostNavigates (true);
    ASSERT_TRUE (guard.admits ("data:text/html,<p>list</p>"));
    EXPECT_TRUE (guard.isHostDocument ("about:blank"));
    EXPECT_TRUE (guard.isHostDocument ("data:text/html,<p>list</p>"));
    EXPECT_FALSE (guard.isHostDocument ("data:text/html,<p>other</p>"));
    EXPECT_FALSE (guard.isHostDocument ("https://tunewell.localhost/")) << "no resource page is shown";
    EXPECT_FALSE (guard.isHostDocument ("https://ads.example.com/frame.html"));

    guard.hostNavigates (false);
    ASSERT_TRUE (guard.admits ("https://tunewell.localhost/"));
    EXPECT_TRUE (guard.isHostDocument ("https://tunewell.localhost/css/app.css"));
    EXPECT_FALSE (guard.isHostDocument ("about:blank")) << "the document string is no longer shown";
}

TEST (NavigationGuard, withoutAResourceRootServesNoPage)
{
    NavigationGuard guard ("");
    guard.hostNavigates (false);
    EXPECT_FALSE (guard.admits ("https://example.com/"));
    EXPECT_FALSE (guard.isHostDocument (""));
}
} // namespace
} // namespace tunewell::ui
