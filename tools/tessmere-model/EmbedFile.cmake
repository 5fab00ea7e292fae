# Writes the bytes of INPUT as a C++ array NAME, with NAME##Size, to OUTPUT.
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){16})" "\\1\n" bytes "${bytes}")
file(WRITE ${OUTPUT} "#include <cstddef>\n\nextern const unsigned char ${NAME}[] = {\n${bytes}};\n"
     "extern const std::size_t ${NAME}Size = ${size};\n")
