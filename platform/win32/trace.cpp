// The platform's optional call record (see seam/trace.h).
#include "seam/trace.h"

namespace seam {
void (*traceHook)(const char* what) = nullptr;
}
