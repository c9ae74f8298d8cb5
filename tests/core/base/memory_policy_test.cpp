// The long-run allocator policy: large blocks keep their own mappings even after a larger mapped block was
// freed (which, left to glibc, raises the threshold and moves every later block of that size into the heap).
#include <gtest/gtest.h>

#include <cstdlib>  // defines __GLIBC__ on glibc

#include "core/base/memory_policy.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

// The sanitizers bring their own allocator.
#if defined(__SANITIZE_ADDRESS__)
#define SKIMLET_GLIBC_MALLOC 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SKIMLET_GLIBC_MALLOC 0
#endif
#endif
#if !defined(SKIMLET_GLIBC_MALLOC) && defined(__GLIBC__)
#define SKIMLET_GLIBC_MALLOC 1
#elif !defined(SKIMLET_GLIBC_MALLOC)
#define SKIMLET_GLIBC_MALLOC 0
#endif

namespace skimlet {
namespace {

#if SKIMLET_GLIBC_MALLOC
// Allocates and writes Size bytes, so that the allocation cannot be left out.
void* Touched(size_t size) {
  void* p = std::malloc(size);
  auto* bytes = static_cast<volatile unsigned char*>(p);
  for (size_t i = 0; p && i < size; i += 4096) bytes[i] = 0x5A;
  return p;
}
#endif

TEST(MemoryPolicy, LargeBlocksStayMappedAfterALargerMappedBlockIsFreed) {
#if !SKIMLET_GLIBC_MALLOC
  GTEST_SKIP() << "glibc's own allocator only";
#else
  SetLongRunMemoryPolicy();
  std::free(Touched(8 << 20));

  // Sizes above what the heap holds free (a block of the threshold's size may still reuse a free chunk).
  for (size_t size : {size_t{300} << 10, size_t{2} << 20}) {
    const size_t before = mallinfo2().hblkhd;
    void* block = Touched(size);
    ASSERT_NE(block, nullptr);
    const size_t mapped = mallinfo2().hblkhd - before;
    std::free(block);
    EXPECT_GE(mapped, size) << size;
    EXPECT_EQ(mallinfo2().hblkhd, before) << size;  // and the mapping went back on free
  }
#endif
}

}  // namespace
}  // namespace skimlet
