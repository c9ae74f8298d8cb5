// skimlet-vendordb OUTPUT REGISTRY.csv...: builds the vendor database from IEEE registry CSV files.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/vendordb/vendordb.h"

int main(int argc, char** argv) {
  using namespace skimlet::vendordb;
  if (argc < 3 || std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h") {
    std::fprintf(argc < 3 ? stderr : stdout,
                 "Usage: skimlet-vendordb OUTPUT REGISTRY.csv...\n"
                 "Builds the vendor database OUTPUT (SQLite) from IEEE registry files such as oui.csv,\n"
                 "mam.csv, oui36.csv and iab.csv. OUTPUT is replaced only when the new one is complete.\n");
    return argc < 3 ? 2 : 0;
  }
  std::vector<TRegistryBlock> blocks;
  std::string error;
  for (int i = 2; i < argc; ++i) {
    if (!ReadRegistryFile(argv[i], blocks, &error)) {
      std::fprintf(stderr, "skimlet-vendordb: %s\n", error.c_str());
      return 1;
    }
  }
  const size_t count = blocks.size();
  if (!WriteVendorDatabase(argv[1], std::move(blocks), &error)) {
    std::fprintf(stderr, "skimlet-vendordb: %s\n", error.c_str());
    return 1;
  }
  std::printf("skimlet-vendordb: %zu blocks from %d files written to %s\n", count, argc - 2, argv[1]);
  return 0;
}
