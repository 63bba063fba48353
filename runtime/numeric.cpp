#include "runtime/numeric.h"

#include <cfenv>

#include "runtime/error.h"

namespace runtime {

float CheckedAddSub(float a, float b, float c) {
    std::feclearexcept(FE_ALL_EXCEPT);
    // Stored as float after each step, so each rounding to single precision is tested.
    volatile float sum = a + b;
    volatile float result = sum - c;
    int raised = std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW);
    if (raised & FE_DIVBYZERO) Raise(kDivisionByZero);
    if (raised) Raise(kOverflow);
    return result;
}

}  // namespace runtime
