# tunewell_add_extension(<name> <sources>...)
#
# An extension library for Vantor: a DLL named <name>.dll (no "lib" prefix)
# with the host's entry points, built on tunewell::host_sdk and
# tunewell::support. Its sources define vantor::sdk::CreateVantorExtension.
function(tunewell_add_extension name)
    add_library(${name} SHARED ${ARGN})
    set_target_properties(${name} PROPERTIES PREFIX "")
    # The entry points go in as object files: no code of the extension calls
    # them, so from an archive the linker would leave them out.
    target_link_libraries(${name} PRIVATE tunewell::entry_points tunewell::host_sdk tunewell::support)
    if(MINGW)
        # The host loads the DLL without MinGW's runtime DLLs beside it.
        target_link_options(${name} PRIVATE -static -static-libgcc -static-libstdc++)
    endif()
endfunction()
