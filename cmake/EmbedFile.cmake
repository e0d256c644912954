# Writes OUT, a C++ source holding the bytes of IN as the array NAME and its
# size as NAME_size (a picture a program carries, as the Windows saver
# carries its resources).
file(READ ${IN} bytes HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${bytes}")
string(REGEX REPLACE "((0x..,){32})" "\\1\n" bytes "${bytes}")
file(SIZE ${IN} size)
file(WRITE ${OUT} "// Generated from ${IN}.\n#include <cstddef>\nextern const unsigned char ${NAME}[] = {\n${bytes}\n};\nextern const std::size_t ${NAME}_size = ${size};\n")
