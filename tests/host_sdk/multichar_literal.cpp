#include "multichar_literal.h"

namespace host_abi {

long long multiCharLiteralEFKT() { return 'eFKT'; }

}  // namespace host_abi
