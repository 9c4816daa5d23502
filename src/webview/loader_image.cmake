# tunewell_add_loader_image(<library> <binary file> [DEPENDS <targets...>])
#
# A static library that defines tunewell::loaderImage from the bytes of the
# binary file, regenerated whenever the file changes. Binary files may be
# build outputs (a generator expression such as $<TARGET_FILE:tgt>).
set(TUNEWELL_LOADER_IMAGE_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/loader_image_embed.cmake)

function(tunewell_add_loader_image library binary)
    cmake_parse_arguments(IMAGE "" "" "DEPENDS" ${ARGN})
    set(source ${CMAKE_CURRENT_BINARY_DIR}/${library}.cpp)
    add_custom_command(
        OUTPUT ${source}
        COMMAND ${CMAKE_COMMAND} -DINPUT=${binary} -DOUTPUT=${source} -P ${TUNEWELL_LOADER_IMAGE_SCRIPT}
        DEPENDS ${binary} ${IMAGE_DEPENDS} ${TUNEWELL_LOADER_IMAGE_SCRIPT}
        COMMENT "Embedding ${library}"
        VERBATIM)
    add_library(${library} STATIC ${source})
    target_include_directories(${library} PUBLIC ${PROJECT_SOURCE_DIR}/src)
endfunction()
