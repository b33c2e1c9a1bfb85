// A C multi-character literal as this compiler reads it; compiled apart, with the compiler's
// warning about such literals switched off for that file only.
#pragma once

namespace host_abi {

long long multiCharLiteralEFKT();

}  // namespace host_abi
