# The WebView2 browser host for Windows and the loader images it can map.
#
# Link a program against one of these bundles, never against the pieces:
#   tunewell_browser_host          the release host, mapping Microsoft's loader
#                                  (only when TUNEWELL_WEBVIEW2_LOADER is given)
#   tunewell_browser_host_standin  the same host mapping the stand-in runtime,
#                                  for tests and the demo; deploy the stand-in's
#                                  control DLL beside the program
#                                  (webview2_standin_deploy)
# The bridge calls WebView::Pimpl::create, which the host defines, and the host
# reads the image; a bundle lists the three archives as one group so that
# single-pass linkers resolve those references in either direction.

add_library(tunewell_webview_win STATIC
    webview_win.cpp
    webview_event_handler_win.cpp
    webview_fallback_win.cpp
    webview_resources_win.cpp
    webview_user_data_folder_win.cpp)
target_include_directories(tunewell_webview_win PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(tunewell_webview_win PUBLIC
    tunewell_webview tunewell_loader tunewell_window tunewell_text ole32 shell32 user32)

function(tunewell_add_browser_host bundle image_library image_file)
    add_library(${image_library} STATIC)
    tunewell_embed_binary(TARGET ${image_library} INPUT ${image_file}
                          SYMBOL loaderImage NAMESPACE tunewell ${ARGN})
    add_library(${bundle} INTERFACE)
    target_link_libraries(${bundle} INTERFACE
        "$<LINK_GROUP:RESCAN,tunewell_webview_win,tunewell_webview,${image_library}>")
endfunction()

if(EXISTS ${PROJECT_SOURCE_DIR}/tools/webview2_standin/CMakeLists.txt)
    tunewell_add_browser_host(tunewell_browser_host_standin tunewell_loader_image_standin
                              $<TARGET_FILE:webview2_standin> DEPENDS webview2_standin)
endif()

if(TUNEWELL_WEBVIEW2_LOADER AND EXISTS "${TUNEWELL_WEBVIEW2_LOADER}")
    tunewell_add_browser_host(tunewell_browser_host tunewell_loader_image "${TUNEWELL_WEBVIEW2_LOADER}")
elseif(TUNEWELL_WEBVIEW2_LOADER)
    message(WARNING "TUNEWELL_WEBVIEW2_LOADER names ${TUNEWELL_WEBVIEW2_LOADER}, which does not exist: "
                    "the release browser host (tunewell_browser_host) is skipped. Pass the x64 "
                    "WebView2Loader.dll of the Microsoft.Web.WebView2 package (build/native/x64/WebView2Loader.dll).")
else()
    message(STATUS "TUNEWELL_WEBVIEW2_LOADER is not set: Microsoft's x64 WebView2Loader.dll cannot be "
                   "embedded, so the release browser host (tunewell_browser_host) is skipped; everything "
                   "else, the stand-in variant included, is built. Pass "
                   "-DTUNEWELL_WEBVIEW2_LOADER=/path/to/WebView2Loader.dll to build it.")
endif()
