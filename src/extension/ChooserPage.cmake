# The chooser page is kept as an ordinary HTML file so that it can be edited and
# checked in a browser; the build embeds its bytes, zero-terminated, as the
# library's text constant.
#
# Included from src/extension/CMakeLists.txt, this defines tunewell_chooser_page.

set(TUNEWELL_CHOOSER_PAGE_FILE "${CMAKE_CURRENT_LIST_DIR}/chooser_page.html"
    CACHE INTERNAL "The chooser page that the library carries as text")
add_library(tunewell_chooser_page STATIC
    "${CMAKE_CURRENT_LIST_DIR}/chooser_page.h"
    "${CMAKE_CURRENT_LIST_DIR}/chooser_page_text.cpp")
target_include_directories(tunewell_chooser_page PUBLIC ${PROJECT_SOURCE_DIR}/src)
tunewell_embed_binary(TARGET tunewell_chooser_page INPUT "${TUNEWELL_CHOOSER_PAGE_FILE}"
                      SYMBOL chooserPageBytes NAMESPACE tunewell ZERO_TERMINATED)
