#pragma once

namespace tunewell
{

/// The chooser's whole page (markup, style sheet and scripts) as one
/// zero-terminated UTF-8 text. Built from chooser_page.html at build time;
/// constant, so any thread may read it.
extern const char* const chooserPageHtml;

} // namespace tunewell
