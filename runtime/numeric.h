// Single-precision arithmetic with the runtime's floating-point checks.
#pragma once

namespace runtime {

// (a + b) - c in single precision. An invalid operation, a division by zero or an overflow
// raises the runtime's error instead of giving a result.
float CheckedAddSub(float a, float b, float c);

}  // namespace runtime
