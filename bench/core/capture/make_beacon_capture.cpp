// Writes a radiotap capture of N beacons from M access points: make_beacon_capture FILE [N [M]].
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "beacon_capture.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: make_beacon_capture FILE [BEACONS [ACCESS_POINTS]]\n");
    return 2;
  }
  const int beacons = argc > 2 ? std::atoi(argv[2]) : 100000;
  const int aps = argc > 3 ? std::atoi(argv[3]) : 1000;
  if (beacons < 1 || aps < 1) return 2;
  const std::string bytes = skimlet::bench::BeaconCapture(beacons, aps).Text();
  std::ofstream out(argv[1], std::ios::binary);
  out << bytes;
  return out.good() ? 0 : 1;
}
