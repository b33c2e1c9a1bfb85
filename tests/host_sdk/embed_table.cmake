# Turns the measured table into a C++ source that returns it as a string, so that the test carries
# its own copy (the Windows build runs under Wine and needs no path into this tree).
#   cmake -DINPUT=host-abi.tsv -DOUTPUT=table.cpp -P embed_table.cmake
file(READ "${INPUT}" content)
string(FIND "${content}" ")tsv\"" clash)
if(NOT clash EQUAL -1)
  message(FATAL_ERROR "${INPUT} contains the raw-string delimiter )tsv\"")
endif()
file(WRITE "${OUTPUT}" "// Generated from ${INPUT} by embed_table.cmake; do not edit.
#include <string_view>

#include \"abi_table.h\"

namespace host_abi {

std::string_view embeddedTable() {
  return R\"tsv(${content})tsv\";
}

}  // namespace host_abi
")
