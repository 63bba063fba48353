#include "runtime/seams.h"

namespace runtime {

Seams seams;

}  // namespace runtime
