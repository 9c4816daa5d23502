# The WebView2 browser host for Windows, and the image of Microsoft's loader
# that it maps from memory in the release library.
#
#   tunewell_webview_win   the browser host; a program makes its views'
#                          browsers with ui::webView2Browsers (image, size)
#   tunewell_loader_image  Microsoft's loader as webView2LoaderImage (the
#                          vendored one unless TUNEWELL_WEBVIEW2_LOADER names
#                          another), declared in "webView2LoaderImage.h"
# The browser host's own tests map the stand-in runtime instead
# (tunewell_standin_loader_image, defined with the stand-in).

# Microsoft's WebView2 package, vendored in third_party: the loader that goes
# into the release DLL and the header of the released interfaces. Each file is
# checked against the hash that the folder's README states.
set(webview2Package "${PROJECT_SOURCE_DIR}/third_party/Microsoft.Web.WebView2")
function(tunewell_check_vendored_file file expectedHash)
    file(SHA256 "${webview2Package}/${file}" actualHash)
    if(NOT actualHash STREQUAL expectedHash)
        message(FATAL_ERROR "${webview2Package}/${file} has SHA-256 ${actualHash}, not ${expectedHash}: the "
                            "vendored package was changed. Restore the file, or update the hash here and in "
                            "the folder's README.")
    endif()
endfunction()
tunewell_check_vendored_file(include/WebView2.h "603ad125cf640a26ceaf018700c5764b8897923be46503effd4e153a1e9feeb0")
tunewell_check_vendored_file(include/WebView2EnvironmentOptions.h
                             "8bc5aeab53efd8315049642c9d884e69dad135760af960de75e80df7782944c1")

# The released interfaces, for the browser host, the stand-in runtime and
# their tests. A system header: its MSVC pragmas are not warnings of ours.
# MinGW also needs the spelling shim for the "EventToken.h" that it includes.
add_library(tunewell_webview2_sdk INTERFACE)
target_include_directories(tunewell_webview2_sdk SYSTEM INTERFACE "${webview2Package}/include")
if(NOT MSVC)
    target_include_directories(tunewell_webview2_sdk SYSTEM INTERFACE "${webview2Package}/mingw")
endif()

add_library(tunewell_webview_win STATIC
    webview_win.cpp
    browser_lockdown_win.cpp
    webview_event_handler_win.cpp
    webview_fallback_win.cpp
    webview_recovery_win.cpp
    module_pin_win.cpp
    webview_resources_win.cpp
    webview_user_data_folder_win.cpp)
target_include_directories(tunewell_webview_win PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(tunewell_webview_win PUBLIC
    tunewell_webview tunewell_webview2_sdk tunewell_loader tunewell_window tunewell_messageloop tunewell_text ole32 shell32 user32)

# Microsoft's loader goes into the release DLL: the vendored copy, checked
# against the hash that its README states, unless a build names another file.
set(vendoredLoader "${webview2Package}/x64/WebView2Loader.dll")
set(vendoredLoaderHash "2d64a312551930dc56612cf358fcfd23133c0596a88c3ec1c467c392ff00b493")
if(TUNEWELL_WEBVIEW2_LOADER)
    set(loaderFile "${TUNEWELL_WEBVIEW2_LOADER}")
    if(NOT EXISTS "${loaderFile}")
        message(FATAL_ERROR "TUNEWELL_WEBVIEW2_LOADER names ${loaderFile}, which does not exist. Pass the x64 "
                            "WebView2Loader.dll of the Microsoft.Web.WebView2 package (build/native/x64), or "
                            "leave the variable empty to embed the vendored one.")
    endif()
    set(loaderVersion "of the copy given to the build")
else()
    set(loaderFile "${vendoredLoader}")
    set(loaderVersion "1.0.3351.48")
endif()
# The package's third-party notice names the loader and carries its licence.
set(TUNEWELL_LOADER_VERSION "${loaderVersion}" CACHE INTERNAL "")
set(TUNEWELL_WEBVIEW2_LOADER_LICENSE "${webview2Package}/LICENSE.txt" CACHE INTERNAL "")
file(SIZE "${loaderFile}" loaderSize)
file(SHA256 "${loaderFile}" loaderHash)
if(loaderFile STREQUAL vendoredLoader AND NOT loaderHash STREQUAL vendoredLoaderHash)
    message(FATAL_ERROR "${loaderFile} has SHA-256 ${loaderHash}, not ${vendoredLoaderHash}: the vendored "
                        "loader was changed. Restore it, or update the hash here and in its README.")
endif()
message(STATUS "Tunewell: tunewell.dll embeds ${loaderFile} (${loaderSize} bytes, SHA-256 ${loaderHash})")
add_library(tunewell_loader_image STATIC)
tunewell_embed_binary(TARGET tunewell_loader_image INPUT "${loaderFile}" SYMBOL webView2LoaderImage NAMESPACE tunewell)
