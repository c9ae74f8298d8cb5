# Writes OUTPUT, a C++ file defining `const unsigned char SYMBOL[]` and `const unsigned SYMBOL_size` in
# namespace NAMESPACE with the bytes of INPUT.
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" length)
math(EXPR size "${length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){16})" "\\1\n  " bytes "${bytes}")
file(WRITE ${OUTPUT} "// Generated from ${INPUT}.\nnamespace ${NAMESPACE} {\nextern const unsigned char ${SYMBOL}[] = {\n  ${bytes}\n};\nextern const unsigned ${SYMBOL}_size = ${size};\n}\n")
