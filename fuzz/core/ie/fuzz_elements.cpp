// Arbitrary element blobs through the container, every lookup and the element tree. Every tree line must
// lie inside the blob.
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "core/ie/elements.h"
#include "core/ie/tree_text.h"

namespace {
// A vendor database stand-in: names some OUIs, knows none of others, and fails for a few, so that every path
// of the vendor name lines runs.
std::string FuzzOUIVendorLookup(uint32_t oui) {
  if ((oui & 0xFF) == 0xEE) throw std::runtime_error("vendor database failed");
  return (oui & 1) ? "Fuzz Vendor" : "";
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace skimlet;
  static const bool lookupInstalled = (SetOUIVendorLookup(FuzzOUIVendorLookup), true);
  (void)lookupInstalled;
  TInformationElements elements;
  elements.Parse(Bytes(data, size));
  for (int id = 0; id < 256; ++id) {
    elements.FindElement(static_cast<uint8_t>(id));
    elements.FindExtensionElement(static_cast<uint8_t>(id));
  }
  for (const auto& e : elements.Items)
    if (auto* v = e->AsVendor()) elements.FindVendorElement(v->OUI, v->Subtype);
  TIETree tree;
  elements.FillTree(tree);
  tree.ForEach([&](TIETreeLine l) {
    const TIETreeData& d = tree.Data(l);
    if (d.Offset < 0 || d.Length < 0 || static_cast<size_t>(d.Offset) + static_cast<size_t>(d.Length) > size)
      std::abort();
  });
  for (int32_t b = 0; b < static_cast<int32_t>(size); b += 7) tree.DeepestLineAt(b);
  TreeToTSV(tree);
  return 0;
}
