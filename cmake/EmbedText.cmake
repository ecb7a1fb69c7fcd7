# Turns a text file into a C++ source that holds it as one character array, so that a program
# carries the file inside itself:
#   cmake -DINPUT=<file> -DOUTPUT=<source.cpp> -DNAME=<array name> -P EmbedText.cmake
# The array ends with a null character; carriage returns are left out, so that the bytes are the
# same whatever line ends the checkout has. Each line of the file is one line of the source.
file(READ "${INPUT}" bytes HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${bytes}")
string(REPLACE "0x0d," "" bytes "${bytes}")
string(REPLACE "0x0a," "0x0a,\n" bytes "${bytes}")
string(REGEX REPLACE "0x([0-9a-f][0-9a-f])," "'\\\\x\\1'," bytes "${bytes}")
get_filename_component(source_name "${INPUT}" NAME)
file(WRITE "${OUTPUT}.new" "// Made from ${source_name} by cmake/EmbedText.cmake at build time; do not edit.\n"
     "extern const char ${NAME}[];\n"
     "const char ${NAME}[] = {\n${bytes}'\\0'};\n")
file(RENAME "${OUTPUT}.new" "${OUTPUT}")
