# Writes INPUT as a C++ byte array named SYMBOL into OUTPUT.
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" hexlen)
math(EXPR size "${hexlen} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
file(WRITE ${OUTPUT} "#include <cstddef>\n#include <cstdint>\nnamespace vx {\nextern const uint8_t ${SYMBOL}[];\nextern const size_t ${SYMBOL}Size;\nconst uint8_t ${SYMBOL}[] = {\n${bytes}\n};\nconst size_t ${SYMBOL}Size = ${size};\n}\n")
