// The platform's optional call record (see seam/trace.h).
#include "seam/trace.h"

namespace seam {
void (*traceHook)(const char* what) = nullptr;
void (*messageBoxHook)(const char* text, const char* caption, unsigned type, int answer) = nullptr;
}  // namespace seam
