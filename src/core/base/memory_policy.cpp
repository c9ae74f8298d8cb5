#include "core/base/memory_policy.h"

#include <cstdlib>  // defines __GLIBC__ on glibc

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace skimlet {

void SetLongRunMemoryPolicy() {
#if defined(__GLIBC__)
  // Setting either value also stops glibc from moving both as blocks are freed.
  mallopt(M_MMAP_THRESHOLD, static_cast<int>(LongRunMmapThreshold));
  mallopt(M_TRIM_THRESHOLD, static_cast<int>(LongRunMmapThreshold));
#endif
}

}  // namespace skimlet
