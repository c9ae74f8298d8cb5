// Cutting blobs into elements, the dispatch by key, the lookups and the tree of a whole blob.
#include <gtest/gtest.h>

#include <array>

#include "core/ie/builder.h"
#include "core/ie/elements.h"
#include "core/ie/elements/eid000_ssid.h"
#include "core/ie/elements/eid001_supported_rates.h"
#include "core/ie/walker.h"
#include "tree_helpers.h"

namespace skimlet {
namespace {

using test::Hex;
using test::TreeTextOf;

TEST(ElementContainer, CutsBlobs) {
  struct Case {
    const char* desc;
    const char* blob;
    std::vector<int> ids;      // the IDs in Items
    std::vector<int> offsets;  // their offsets
  };
  const Case cases[] = {
      {"empty blob", "", {}, {}},
      {"a truncated last element is dropped", "00 03 41 42 43 01 08", {0}, {0}},
      {"zero-length elements are skipped", "00 00 01 01 82", {1}, {2}},
      {"a lone trailing byte is ignored", "03 01 06 05", {3}, {0}},
      {"a last element that just fits is kept", "03 01 06 0B 05 00 00 00 00 00", {3, 11}, {0, 3}},
      {"nothing after a truncated element is read", "03 01 06 10 20 03 01 06", {3}, {0}},
      {"rates of zeros are rejected and dropped", "01 01 00 03 01 06", {3}, {3}},
  };
  for (const Case& c : cases) {
    TInformationElements elements;
    elements.Parse(Hex(c.blob));
    std::vector<int> ids, offsets;
    for (const auto& e : elements.Items) {
      ids.push_back(e->ID);
      offsets.push_back(e->Offset);
    }
    EXPECT_EQ(ids, c.ids) << c.desc;
    EXPECT_EQ(offsets, c.offsets) << c.desc;
    EXPECT_EQ(elements.Data.size(), Hex(c.blob).size()) << c.desc;
  }
}

// The one walk every reader of blobs shares: which elements it visits, and what it leaves as the tail.
TEST(ElementWalker, VisitsWholeElementsAndReportsTheCutTail) {
  struct Case {
    const char* desc;
    const char* blob;
    std::vector<std::array<int, 3>> visited;  // ID, offset, body length
    TElementTail tail;
  };
  const Case cases[] = {
      {"empty blob", "", {}, {0, 0, 0, 0}},
      {"whole elements, zero-length ones too", "00 00 03 01 06", {{0, 0, 0}, {3, 2, 1}}, {5, 0, 0, 0}},
      {"a lone trailing byte", "03 01 06 DD", {{3, 0, 1}}, {3, 1, 0xDD, 0}},
      {"a last element cut short", "00 03 41 42 43 01 08 82", {{0, 0, 3}}, {5, 3, 1, 8}},
      {"a header without body", "01 04", {}, {0, 2, 1, 4}},
      {"nothing after a cut element is read", "03 01 06 10 20 03 01 06", {{3, 0, 1}}, {3, 5, 0x10, 0x20}},
      {"a body of 255 bytes that just fits", nullptr, {{221, 0, 255}}, {257, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> blob;
    if (c.blob) {
      blob = Hex(c.blob);
    } else {
      blob.assign(257, 0x11);
      blob[0] = 221;
      blob[1] = 255;
    }
    std::vector<std::array<int, 3>> visited;
    const TElementTail tail = WalkElements(blob, [&](uint8_t id, Bytes body, size_t offset) {
      visited.push_back({id, static_cast<int>(offset), static_cast<int>(body.size())});
      EXPECT_EQ(body.data(), blob.data() + offset + 2) << c.desc;
    });
    EXPECT_EQ(visited, c.visited) << c.desc;
    EXPECT_EQ(tail.Offset, c.tail.Offset) << c.desc;
    EXPECT_EQ(tail.Length, c.tail.Length) << c.desc;
    EXPECT_EQ(tail.ID, c.tail.ID) << c.desc;
    EXPECT_EQ(tail.Announced, c.tail.Announced) << c.desc;
    EXPECT_EQ(tail.Cut(), c.tail.Length > 0) << c.desc;
    // The container keeps the same tail.
    TInformationElements elements;
    elements.Parse(blob);
    EXPECT_EQ(elements.Tail.Offset, c.tail.Offset) << c.desc;
    EXPECT_EQ(elements.Tail.Length, c.tail.Length) << c.desc;
  }
}

TEST(ElementContainer, TreeOfEmptyAndTruncatedBlobs) {
  EXPECT_EQ(TreeTextOf({}), "Information Elements: 0 (0 bytes)\t@0+0\n");
  EXPECT_EQ(TreeTextOf(Hex("00 03 41 42 43 01 08")),
            "Information Elements: 1 (7 bytes)\t@0+0\n"
            "  SSID: ABC\t@0+5\n"
            "    Element ID: 0 (SSID)\t@0+1\n"
            "    Length: 3 octets\t@1+1\n"
            "    SSID: ABC\t@2+3\n");
}

TEST(ElementContainer, RootIsExpandedAndElementsCollapsed) {
  TInformationElements elements;
  elements.Parse(Hex("00 01 41 03 01 06"));
  TIETree tree;
  elements.FillTree(tree);
  TIETreeLine root = tree.FirstChild(kNoLine);
  EXPECT_TRUE(tree.Expanded(root));
  EXPECT_EQ(tree.ChildCount(root), 2);
  EXPECT_FALSE(tree.Expanded(tree.FirstChild(root)));
}

TEST(ElementContainer, VendorElements) {
  // Too short for OUI and subtype: a plain element named "Vendor Specific".
  EXPECT_EQ(TreeTextOf(Hex("DD 03 00 50 F2")),
            "Information Elements: 1 (5 bytes)\t@0+0\n"
            "  Vendor Specific\t@0+5\n"
            "    Element ID: 221 (Vendor Specific)\t@0+1\n"
            "    Length: 3 octets\t@1+1\n"
            "    Data: 00 50 F2\t@2+3\n"
            "    Text: .P.\t@2+3\n");

  std::vector<uint8_t> blob = ElementBuilder()
                                  .AddVendor(0x0050F2, 2, {0x01})
                                  .AddVendor(0x0050F2, 4, {0x10, 0x4A})
                                  .AddVendor(0x0050F2, 4, {})
                                  .Blob();
  TInformationElements elements;
  elements.Parse(blob);
  const TVendorSpecificInformationElement* wps = elements.FindVendorElement(0x0050F2, 4);
  ASSERT_NE(wps, nullptr);
  EXPECT_EQ(wps->Offset, 7);
  EXPECT_EQ(wps->OUI, 0x0050F2u);
  EXPECT_EQ(wps->Subtype, 4);
  EXPECT_EQ(elements.FindVendorElement(0x0050F2, 1), nullptr);
  EXPECT_EQ(elements.FindVendorElement(0x00904C, 4), nullptr);
}

TEST(ElementContainer, ExtensionElements) {
  EXPECT_EQ(TreeTextOf(Hex("FF 01 2A")),
            "Information Elements: 1 (3 bytes)\t@0+0\n"
            "  Element ID Extension: BSS Color Change Announcement (42)\t@0+3\n"
            "    Element ID: 255 (Element ID Extension)\t@0+1\n"
            "    Length: 1 octet\t@1+1\n"
            "    Extension Element ID: BSS Color Change Announcement (42)\t@2+1\n"
            "    Data: \t@3+0\n"
            "    Text: \t@3+0\n");
  EXPECT_EQ(TreeTextOf(Hex("FF 03 C8 41 00")),
            "Information Elements: 1 (5 bytes)\t@0+0\n"
            "  Element ID Extension: Unknown (200)\t@0+5\n"
            "    Element ID: 255 (Element ID Extension)\t@0+1\n"
            "    Length: 3 octets\t@1+1\n"
            "    Extension Element ID: Unknown (200)\t@2+1\n"
            "    Data: 41 00\t@3+2\n"
            "    Text: A.\t@3+2\n");
  TInformationElements elements;
  elements.Parse(Hex("FF 01 2A FF 02 23 00"));
  ASSERT_NE(elements.FindExtensionElement(35), nullptr);
  EXPECT_EQ(elements.FindExtensionElement(35)->Offset, 3);
  EXPECT_EQ(elements.FindExtensionElement(36), nullptr);
}

TEST(ElementContainer, LookupsFindTheFirstOfAnIDAndTheTreeShowsAll) {
  std::vector<uint8_t> blob = ElementBuilder().AddText(0, "first").Add(3, {6}).AddText(0, "second").Blob();
  TInformationElements elements;
  elements.Parse(blob);
  ASSERT_EQ(elements.Count(), 3);
  const auto* ssid = elements.Find<TSSIDElement>(0);
  ASSERT_NE(ssid, nullptr);
  EXPECT_EQ(ssid->SSID, "first");
  EXPECT_EQ(elements.Find<TSupportedRatesElement>(0), nullptr);
  EXPECT_EQ(elements.GetItem(2)->Offset, 10);
  EXPECT_EQ(elements.GetItem(3), nullptr);
  std::string text = TreeTextOf(blob);
  EXPECT_NE(text.find("  SSID: first\t"), std::string::npos);
  EXPECT_NE(text.find("  SSID: second\t"), std::string::npos);
}

TEST(ElementContainer, ERPUnderItsOldIDIsDecodedButNamedOld) {
  EXPECT_EQ(test::ElementLineOf(Hex("2F 01 03")), "ERP Information (old)");
  EXPECT_EQ(test::DetailTextsOf(Hex("2F 01 03"))[0], "ERP Information: 00000011 (0x03)");
}

TEST(ElementContainer, EveryLineLiesInsideTheBlob) {
  // Every element kind with bodies of every length from 1 to 40: no line may point outside the blob.
  for (int id = 0; id < 256; ++id) {
    for (int len = 1; len <= 40; ++len) {
      std::vector<uint8_t> body(static_cast<size_t>(len));
      for (int k = 0; k < len; ++k) body[static_cast<size_t>(k)] = static_cast<uint8_t>(k * 37 + id);
      std::vector<uint8_t> blob = ElementBuilder().Add(static_cast<uint8_t>(id), body).Blob();
      TInformationElements elements;
      elements.Parse(blob);
      TIETree tree;
      elements.FillTree(tree);
      tree.ForEach([&](TIETreeLine l) {
        const TIETreeData& d = tree.Data(l);
        ASSERT_GE(d.Offset, 0) << id << "/" << len << ": " << d.Text;
        ASSERT_GE(d.Length, 0) << id << "/" << len << ": " << d.Text;
        ASSERT_LE(d.Offset + d.Length, static_cast<int32_t>(blob.size())) << id << "/" << len << ": " << d.Text;
      });
    }
  }
}

}  // namespace
}  // namespace skimlet
