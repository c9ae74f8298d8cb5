# cmake -DINPUT=file -DOUTPUT=file.cpp -DNAMESPACE=ns -DSYMBOL=name -P embed_text.cmake
# Writes OUTPUT, a C++ source that defines `std::string_view ns::name()` returning the bytes of INPUT.
file(READ "${INPUT}" content HEX)
string(LENGTH "${content}" hex_length)
math(EXPR byte_count "${hex_length} / 2")
# Sixteen bytes a line, as character escapes in string literals.
string(REGEX REPLACE "([0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f])" "\\1\n" lines "${content}")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "\\\\x\\1" lines "${lines}")
string(REGEX REPLACE "([^\n]+)" "    \"\\1\"" lines "${lines}")
string(REGEX REPLACE "\n$" "" lines "${lines}")
if(lines STREQUAL "")
  set(lines "    \"\"")
endif()
get_filename_component(input_name "${INPUT}" NAME)
file(WRITE "${OUTPUT}.tmp"
"// Generated from ${input_name} by embed_text.cmake; do not edit.
#include <string_view>

namespace ${NAMESPACE} {

std::string_view ${SYMBOL}() {
  static constexpr char kBytes[] =
${lines};
  return std::string_view(kBytes, ${byte_count});
}

}  // namespace ${NAMESPACE}
")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
