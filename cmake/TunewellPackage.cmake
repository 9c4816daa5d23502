# The support library and the host interface as a CMake package, for
# extensions built outside this tree:
#
#   find_package(Tunewell CONFIG REQUIRED)
#   tunewell_add_extension(my_extension my_extension.cpp)
#
#   tunewell::support       values, JSON, text, the script bridge, the desktop
#                           window, the message loop, the module loaders and,
#                           on Windows, the WebView2 browser host with
#                           Microsoft's loader embedded (webView2LoaderImage.h)
#   tunewell::host_sdk      VantorAPI, VantorFunctions and the host function
#                           table, the MIDI message and VantorUtils
#   tunewell::entry_points  the exported entry points, as object files
#
# The chooser's own library links the same targets, under the same names.

include(CMakePackageConfigHelpers)
include(GNUInstallDirs)

set(tunewellIncludeDir "${CMAKE_INSTALL_INCLUDEDIR}/tunewell")

add_library(tunewell_support INTERFACE)
target_link_libraries(tunewell_support INTERFACE
    tunewell_text tunewell_values tunewell_json tunewell_messageloop tunewell_webview tunewell_window tunewell_loader)
if(WIN32)
    target_link_libraries(tunewell_support INTERFACE tunewell_webview_win tunewell_loader_image)
endif()
add_library(tunewell::support ALIAS tunewell_support)
add_library(tunewell::host_sdk ALIAS tunewell_host_sdk)
add_library(tunewell::entry_points ALIAS tunewell_host_sdk_exports)

set(tunewellPackageTargets
    tunewell_support tunewell_host_sdk tunewell_host_sdk_exports
    tunewell_text tunewell_values tunewell_json tunewell_messageloop tunewell_webview tunewell_window tunewell_loader)
if(WIN32)
    list(APPEND tunewellPackageTargets tunewell_webview_win tunewell_loader_image tunewell_webview2_sdk)
endif()

if(WIN32)
    # The generated header of Microsoft's loader image, taken before the
    # include paths below are rewritten.
    get_target_property(loaderImageDir tunewell_loader_image INTERFACE_INCLUDE_DIRECTORIES)
endif()

# Each library names its headers by the source tree; installed, they sit
# under include/tunewell with the same folders.
foreach(target IN LISTS tunewellPackageTargets)
    string(REGEX REPLACE "^tunewell_" "" exportName "${target}")
    if(exportName STREQUAL "host_sdk_exports")
        set(exportName entry_points)
    endif()
    set_target_properties(${target} PROPERTIES EXPORT_NAME ${exportName})
    get_target_property(includeDirs ${target} INTERFACE_INCLUDE_DIRECTORIES)
    if(includeDirs AND NOT target STREQUAL "tunewell_webview2_sdk")
        set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES
            "$<BUILD_INTERFACE:${includeDirs}>;$<INSTALL_INTERFACE:${tunewellIncludeDir}>")
    endif()
endforeach()

install(DIRECTORY "${PROJECT_SOURCE_DIR}/src/" DESTINATION "${tunewellIncludeDir}"
        FILES_MATCHING PATTERN "*.h" PATTERN "extension" EXCLUDE)
if(WIN32)
    # Microsoft's headers keep their own folders, and their licence goes with them.
    set(webview2Package "${PROJECT_SOURCE_DIR}/third_party/Microsoft.Web.WebView2")
    set(webview2Includes "$<BUILD_INTERFACE:${webview2Package}/include>"
                         "$<INSTALL_INTERFACE:${tunewellIncludeDir}/webview2>")
    if(NOT MSVC)
        list(APPEND webview2Includes "$<BUILD_INTERFACE:${webview2Package}/mingw>"
                                     "$<INSTALL_INTERFACE:${tunewellIncludeDir}/webview2/mingw>")
    endif()
    set_target_properties(tunewell_webview2_sdk PROPERTIES INTERFACE_INCLUDE_DIRECTORIES "${webview2Includes}"
                                                           INTERFACE_SYSTEM_INCLUDE_DIRECTORIES "${webview2Includes}")
    install(DIRECTORY "${webview2Package}/include/" "${webview2Package}/mingw" DESTINATION "${tunewellIncludeDir}/webview2")
    install(FILES "${webview2Package}/LICENSE.txt" DESTINATION "${tunewellIncludeDir}/webview2")
    install(FILES "${loaderImageDir}/webView2LoaderImage.h" DESTINATION "${tunewellIncludeDir}")
endif()

install(TARGETS ${tunewellPackageTargets} EXPORT TunewellTargets
        ARCHIVE DESTINATION "${CMAKE_INSTALL_LIBDIR}"
        OBJECTS DESTINATION "${CMAKE_INSTALL_LIBDIR}/tunewell-objects")
set(packageDir "${CMAKE_INSTALL_LIBDIR}/cmake/Tunewell")
install(EXPORT TunewellTargets NAMESPACE tunewell:: DESTINATION "${packageDir}")
configure_package_config_file("${CMAKE_CURRENT_LIST_DIR}/TunewellConfig.cmake.in"
                              "${PROJECT_BINARY_DIR}/TunewellConfig.cmake" INSTALL_DESTINATION "${packageDir}")
write_basic_package_version_file("${PROJECT_BINARY_DIR}/TunewellConfigVersion.cmake" COMPATIBILITY SameMajorVersion)
install(FILES "${PROJECT_BINARY_DIR}/TunewellConfig.cmake" "${PROJECT_BINARY_DIR}/TunewellConfigVersion.cmake"
              "${CMAKE_CURRENT_LIST_DIR}/TunewellExtension.cmake"
        DESTINATION "${packageDir}")
