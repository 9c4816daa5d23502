# Writes a C++ source that defines the loader image from a binary file.
#   cmake -DINPUT=<binary> -DOUTPUT=<source.cpp> -P loader_image_embed.cmake
if(NOT EXISTS "${INPUT}")
    message(FATAL_ERROR "loader image: ${INPUT} does not exist")
endif()

file(READ "${INPUT}" hex HEX)
file(SIZE "${INPUT}" size)
if(size EQUAL 0)
    message(FATAL_ERROR "loader image: ${INPUT} is empty")
endif()

# Sixteen bytes a line keep the generated file readable in a diff tool.
string(REPEAT "[0-9a-f]" 32 line_pattern)
string(REGEX REPLACE "(${line_pattern})" "\\1\n" hex "${hex}")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")

file(WRITE "${OUTPUT}.tmp"
    "// Generated from ${INPUT}; do not edit.\n"
    "#include \"webview/loader_image.h\"\n\n"
    "namespace tunewell\n{\n\n"
    "const unsigned char loaderImage[] = {\n${bytes}\n};\n\n"
    "const std::size_t loaderImageSize = ${size};\n\n"
    "} // namespace tunewell\n")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
