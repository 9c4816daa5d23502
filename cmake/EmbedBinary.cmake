# tunewell_embed_binary(TARGET <lib> INPUT <file> SYMBOL <name> [NAMESPACE <ns>] [ZERO_TERMINATED]
#                       [DEPENDS <targets...>])
#
# Compiles the bytes of INPUT, a file that may itself be made by the build,
# into TARGET as
#     extern const unsigned char <name>[];
#     extern const std::size_t <name>Size;
# declared in the generated header "<name>.h" (on TARGET's include path),
# inside namespace <ns> when given. INPUT may use generator expressions such as
# $<TARGET_FILE:dll>; list the target that makes it under DEPENDS.
# ZERO_TERMINATED puts a zero byte after the file's bytes, not counted in
# <name>Size, so that a text file can be read as one zero-terminated string.

function(tunewell_embed_binary)
    cmake_parse_arguments(EMBED "ZERO_TERMINATED" "TARGET;INPUT;SYMBOL;NAMESPACE" "DEPENDS" ${ARGN})
    if(NOT EMBED_TARGET OR NOT EMBED_INPUT OR NOT EMBED_SYMBOL)
        message(FATAL_ERROR "tunewell_embed_binary needs TARGET, INPUT and SYMBOL")
    endif()
    set(script ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/EmbedBinaryScript.cmake)
    set(directory ${CMAKE_CURRENT_BINARY_DIR}/embedded/${EMBED_TARGET})
    set(source ${directory}/${EMBED_SYMBOL}.cpp)
    set(header ${directory}/${EMBED_SYMBOL}.h)
    add_custom_command(
        OUTPUT ${source} ${header}
        COMMAND ${CMAKE_COMMAND}
            -DINPUT=${EMBED_INPUT}
            -DSOURCE=${source}
            -DHEADER=${header}
            -DSYMBOL=${EMBED_SYMBOL}
            -DNAMESPACE=${EMBED_NAMESPACE}
            -DZERO_TERMINATED=${EMBED_ZERO_TERMINATED}
            -P ${script}
        DEPENDS ${EMBED_INPUT} ${EMBED_DEPENDS} ${script}
        COMMENT "Embedding ${EMBED_SYMBOL}"
        VERBATIM)
    target_sources(${EMBED_TARGET} PRIVATE ${source} ${header})
    target_include_directories(${EMBED_TARGET} PUBLIC ${directory})
endfunction()
