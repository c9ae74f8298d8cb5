// skimlet-soak: the core update cycle and network list over many simulated hours; fails when memory grows.
#include <malloc.h>

#include <iostream>

#include "core/base/memory_policy.h"
#include "soak/soak.h"

int main(int argc, char** argv) {
  // The program's own allocator set-up, plus one heap arena for every thread so that mallinfo2 sees the radio
  // thread's allocations too.
  skimlet::SetLongRunMemoryPolicy();
  mallopt(M_ARENA_MAX, 1);
  skimlet::soak::SoakOptions options;
  std::string error;
  if (!skimlet::soak::ParseSoakArguments(argc, argv, options, error)) {
    std::cerr << "skimlet-soak: " << error
              << "\nusage: skimlet-soak [--hours N] [--warmup-hours N] [--aps N] [--seed N] [--limit PERCENT]\n";
    return 2;
  }
  return skimlet::soak::RunSoak(options, {}, std::cout);
}
