// Arbitrary bytes as the text of options.xml: loading never crashes, every option reads, and writing the
// options back and reading them again gives the same values.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/settings/options.h"
#include "core/settings/xml_storage.h"

namespace {

bool Same(const skimlet::TProgramOptions& a, const skimlet::TProgramOptions& b) {
  return a.DefaultLang == b.DefaultLang && a.DeltaTimeInactive == b.DeltaTimeInactive &&
         a.FilterPhySet == b.FilterPhySet && a.bShowFilters == b.bShowFilters &&
         a.MainWindowState == b.MainWindowState && a.Layouts.ListColumns[7].Width == b.Layouts.ListColumns[7].Width;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace skimlet;
  TXMLStorage storage("options.xml");
  bool loaded = storage.LoadText(std::string_view(reinterpret_cast<const char*>(data), size)).empty();
  TProgramOptions options;
  ReadOptions(storage, options, TScreenSize{1920, 1080});
  if (!loaded) return 0;
  WriteOptions(storage, options);
  TXMLStorage again("options.xml");
  if (!again.LoadText(storage.ToText()).empty()) std::abort();  // what is written must read back
  TProgramOptions reread;
  ReadOptions(again, reread, TScreenSize{1920, 1080});
  if (!Same(options, reread)) std::abort();
  return 0;
}
