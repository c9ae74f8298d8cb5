// The element base class, the shared routines and the tree.
#include <gtest/gtest.h>

#include "core/base/translate.h"
#include "core/ie/element.h"
#include "core/ie/length_rule.h"
#include "core/ie/tree.h"
#include "core/ie/util.h"
#include "tree_helpers.h"

namespace skimlet {
namespace {

using test::Hex;
using test::TreeTextOf;

TEST(ElementFramework, UnknownElementShowsNameIDLengthDataAndText) {
  // ID 17 has no name; body 41 20 42 00 shows blanks and zeros as dots.
  EXPECT_EQ(TreeTextOf(Hex("11 04 41 20 42 00")),
            "Information Elements: 1 (6 bytes)\t@0+0\n"
            "  Unknown (17)\t@0+6\n"
            "    Element ID: 17 (Unknown)\t@0+1\n"
            "    Length: 4 octets\t@1+1\n"
            "    Data: 41 20 42 00\t@2+4\n"
            "    Text: A.B.\t@2+4\n");
}

TEST(ElementFramework, LinesCoverTheBlobBytesTheyDescribe) {
  // An element at blob position 10 with length 3 covers bytes 10 to 14; a length of 1 reads "1 octet".
  std::vector<uint8_t> blob = Hex("11 08 00 00 00 00 00 00 00 00 12 03 01 02 03 13 01 7E");
  std::string text = TreeTextOf(blob);
  EXPECT_NE(text.find("  Unknown (18)\t@10+5\n    Element ID: 18 (Unknown)\t@10+1\n    Length: 3 octets\t@11+1\n"
                      "    Data: 01 02 03\t@12+3\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("Length: 1 octet\t@16+1\n    Data: 7E\t@17+1\n    Text: ~\t@17+1\n"), std::string::npos) << text;
}

// A decoder that fails half-way through its lines.
class BrokenElement : public TInformationElement {
 public:
  void AddDetailNodes(TIETree& tree, TIETreeLine element) const override {
    AddBodyNode(tree, element, "First field: ok", 0, 1);
    AddBodyNode(tree, element, "Beyond the body: " + std::to_string(Byte(99)), 99, 1);
  }
};

TEST(ElementFramework, AFailureInsideAnElementKeepsItsLinesAndMarksItCorrupted) {
  std::vector<uint8_t> body = {1, 2};
  BrokenElement element;
  ASSERT_TRUE(element.Load(17, body, 4));
  TIETree tree;
  TIETreeLine root = tree.Add(kNoLine, {"root", 0, 0});
  element.AddToTree(tree, root);
  TIETreeLine e = tree.FirstChild(root);
  ASSERT_EQ(tree.ChildCount(e), 4);
  EXPECT_EQ(tree.Data(tree.Child(e, 2)).Text, "First field: ok");
  const TIETreeData& last = tree.Data(tree.Child(e, 3));
  EXPECT_EQ(last.Text, "Could not parse element. Element is corrupted.");
  EXPECT_EQ(last.Offset, 4);
  EXPECT_EQ(last.Length, 2);
}

TEST(SharedRoutines, ReadersAreLittleOrBigEndianAndCheckBounds) {
  std::vector<uint8_t> d = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06};
  EXPECT_EQ(ReadUInt16LE(d, 0), 0x0201);
  EXPECT_EQ(ReadUInt16BE(d, 0), 0x0102);
  EXPECT_EQ(ReadUInt24LE(d, 0), 0x030201u);
  EXPECT_EQ(ReadUInt24BE(d, 0), 0x010203u);
  EXPECT_EQ(ReadUInt32LE(d, 2), 0x06050403u);
  EXPECT_EQ(ReadUInt32BE(d, 2), 0x03040506u);
  EXPECT_EQ(ReadUInt48LE(d, 0), 0x060504030201ull);
  EXPECT_THROW(ReadUInt16LE(d, 5), TElementCorrupted);
  EXPECT_THROW(ReadUInt48LE(d, 1), TElementCorrupted);
  EXPECT_THROW(Tail(d, 7), TElementCorrupted);
  EXPECT_THROW(GetBits(d, 40, 9), TElementCorrupted);
}

TEST(SharedRoutines, Texts) {
  std::vector<uint8_t> d = {0x01, 0xAB};
  EXPECT_EQ(BytesToHex(d), "01 AB");
  EXPECT_EQ(BytesToHex(d, 0, " "), "");
  EXPECT_EQ(BytesToHex(d, 3, " "), "");
  EXPECT_EQ(OUIToText(0x0050F2), "00-50-F2");
  const TKeyAndValue table[] = {{1, "first"}, {1, "second"}, {2, "two"}};
  EXPECT_EQ(KeyToValue(table, 1, "none"), "first");
  EXPECT_EQ(KeyToValue(table, 3, "none"), "none");
  const std::string_view texts[] = {"zero", "one"};
  EXPECT_EQ(IndexToText(1, texts, "?"), "one");
  EXPECT_EQ(IndexToText(2, texts, "?"), "?");
  EXPECT_EQ(IndexToText(-1, texts, "?"), "?");
  EXPECT_EQ(SupportedToText(false), "Not Supported");
  EXPECT_EQ(RequiredToText(false), "Not required");
  EXPECT_EQ(YesNoToText(true), "Yes");
  EXPECT_EQ(YesNoToText(false), "No");
}

TEST(SharedRoutines, YesAndNoComeFromTheLanguage) {
  struct German : TextSource {
    std::optional<std::string> Lookup(std::string_view key) const override {
      if (key == "sYes") return "Ja";
      return std::nullopt;
    }
  } german;
  SetTextSource(&german);
  EXPECT_EQ(YesNoToText(true), "Ja");
  EXPECT_EQ(YesNoToText(false), "No");
  SetTextSource(nullptr);
}

TEST(LengthRules, BoundsOfEachRule) {
  struct Row {
    TLengthRule Rule;
    std::vector<int> Accepted, Rejected;
  };
  const Row rows[] = {
      {TLengthRule::Exactly(5), {5}, {0, 4, 6}},
      {TLengthRule::AtLeast(7), {7, 255}, {0, 6}},
      {TLengthRule::MoreThan(5), {6, 255}, {5}},
      {TLengthRule::AtMost(253), {0, 253}, {254, 255}},
      {TLengthRule::Range(2, 5), {2, 5}, {1, 6}},
      {TLengthRule::OneOf({1, 3, 7, 9}, TLengthWording::Interworking), {1, 3, 7, 9}, {0, 2, 8, 10, 63, 64, 255}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Rule.Message());
    for (int n : row.Accepted) EXPECT_TRUE(row.Rule.Holds(n)) << n;
    for (int n : row.Rejected) EXPECT_FALSE(row.Rule.Holds(n)) << n;
  }
}

// A translated wrong-length line takes the language's whole text when it has one, else its pattern; the other
// lines stay as written.
TEST(LengthRules, TranslatedLinesUseTheWholeTextOrThePattern) {
  struct German : TextSource {
    std::optional<std::string> Lookup(std::string_view key) const override {
      if (key == "Length is wrong, must be = %d") return "Falsche Länge, muss = %d sein";
      if (key == "Length is wrong, must be between 0 and 32") return "Länge falsch, muss zwischen 0 und 32 liegen";
      return std::nullopt;
    }
  } german;
  SetTextSource(&german);
  std::vector<uint8_t> longSSID(2 + 33, 'A');
  longSSID[0] = 0;
  longSSID[1] = 33;
  const std::vector<std::string> dsss = test::DetailTextsOf(test::Hex("03 02 06 00"));
  const std::vector<std::string> ssid = test::DetailTextsOf(longSSID);
  const std::vector<std::string> htCapabilities = test::DetailTextsOf(test::Hex("2D 01 00"));
  SetTextSource(nullptr);
  using Texts = std::vector<std::string>;
  EXPECT_EQ(dsss, Texts{"Falsche Länge, muss = 1 sein"});
  EXPECT_EQ(ssid, Texts{"Länge falsch, muss zwischen 0 und 32 liegen"});
  EXPECT_EQ(htCapabilities, Texts{"Length is wrong, must be = 26"});
}

TEST(SharedRoutines, BitDiagrams) {
  std::vector<uint8_t> field = {0x02, 0x01};  // the 16-bit value 0x0102
  EXPECT_EQ(BitsToText(field, 16, 8, true), "00000001 00000010");
  EXPECT_EQ(BitFieldToText(field, 8, 8, true, 1, 1), "......1.");
  EXPECT_EQ(BitRangeToText(8, 8, true, 5, 3), "xxxxx...");
  EXPECT_EQ(MaskedBitsToText(field, 16, 8, true, 0x0102), ".......1 ......1.");
  EXPECT_EQ(GetBits(field, 1, 9), 0x81u);
  EXPECT_EQ(BitsToText(field, 4, 2, false), "01 00");
  TBoolArray bits = BytesToBoolArray(field, 10);
  EXPECT_TRUE(bits[1]);
  EXPECT_TRUE(bits[8]);
  EXPECT_FALSE(bits[9]);
}

TEST(ElementTree, DeepestLineAtDescendsOnlyIntoWiderLinesWithChildren) {
  TIETree tree;
  TIETreeLine root = tree.Add(kNoLine, {"root", 0, 0});
  TIETreeLine e = tree.Add(root, {"element", 0, 6});
  tree.Add(e, {"id", 0, 1});
  TIETreeLine field = tree.Add(e, {"field", 2, 2});
  TIETreeLine bit = tree.Add(field, {"bit", 2, 2});
  TIETreeLine single = tree.Add(e, {"single", 4, 1});
  tree.Add(single, {"under single", 4, 1});
  EXPECT_EQ(tree.DeepestLineAt(3), bit);
  EXPECT_EQ(tree.DeepestLineAt(4), single);
  EXPECT_EQ(tree.DeepestLineAt(5), e);
  EXPECT_EQ(tree.DeepestLineAt(9), kNoLine);
  EXPECT_EQ(tree.Level(bit), 3);
  EXPECT_EQ(tree.Row(single), 2);
  EXPECT_EQ(tree.Child(e, 1), field);
  EXPECT_EQ(tree.Child(e, 3), kNoLine);
}

}  // namespace
}  // namespace skimlet
