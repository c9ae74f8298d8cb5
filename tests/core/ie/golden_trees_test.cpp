// Element trees pinned byte for byte: every case of golden/cases.txt is decoded and its tree, as the TSV of
// `skimlet-cli elements --tsv` (level, offset, length and text of every line), compared with golden/NAME.tsv.
// The case is rendered once more with a language that marks every text it gives, which pins which texts are
// translated.
//
// After a deliberate change of the trees, regenerate the files and review the diff:
//   SKIMLET_UPDATE_GOLDEN=1 build/bin/core_ie_tests --gtest_filter='GoldenTrees.*'
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "core/base/hex.h"
#include "core/ie/elements.h"
#include "core/base/text.h"
#include "core/base/translate.h"
#include "core/ie/tree_text.h"

namespace skimlet {
namespace {

namespace fs = std::filesystem;
using Blob = std::vector<uint8_t>;

const fs::path kGoldenDir = SKIMLET_GOLDEN_DIR;

struct Case {
  std::string Name;
  Blob Bytes;
  bool Element = false;  // one element, rendered with its variants
};

Blob HexOf(const std::string& digits) {
  std::optional<Blob> bytes = ParseHexBytes(digits);
  return bytes ? *bytes : Blob{};
}

// "element NAME ID BODY" or "blob NAME HEX"; blanks inside the hex are ignored.
std::vector<Case> ReadCases() {
  std::ifstream in(kGoldenDir / "cases.txt");
  std::vector<Case> cases;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream words(line);
    std::string kind, name, word, digits;
    words >> kind >> name;
    Case c{name, {}, kind == "element"};
    if (c.Element) {
      int id = -1;
      words >> id;
      c.Bytes.push_back(static_cast<uint8_t>(id));
    }
    while (words >> word) digits += word;
    Blob body = HexOf(digits);
    if (c.Element) c.Bytes.push_back(static_cast<uint8_t>(body.size()));
    c.Bytes.insert(c.Bytes.end(), body.begin(), body.end());
    cases.push_back(std::move(c));
  }
  return cases;
}

std::string TreeOf(const Blob& blob) {
  TInformationElements elements;
  elements.Parse(blob);
  TIETree tree;
  elements.FillTree(tree);
  return TreeToTSV(tree);
}

Blob ElementOf(uint8_t id, const Blob& body) {
  Blob blob;
  blob.reserve(body.size() + 2);
  blob.push_back(id);
  blob.push_back(static_cast<uint8_t>(body.size()));
  blob.insert(blob.end(), body.begin(), body.end());
  return blob;
}

// A language that gives every key back in braces: the tree shows which texts go through the language.
class MarkingTexts : public TextSource {
 public:
  std::optional<std::string> Lookup(std::string_view key) const override { return "{" + std::string(key) + "}"; }
};

// The element as it is, then with its body (after the OUI and subtype, or the extension ID) filled with
// ones and with zeros, cut to no, one and all but one byte of that part, and one zero byte longer.
std::vector<std::pair<std::string, Blob>> Variants(const Case& c) {
  std::vector<std::pair<std::string, Blob>> variants{{"as is", c.Bytes}};
  if (!c.Element) return variants;
  const uint8_t id = c.Bytes[0];
  const Blob body(c.Bytes.begin() + 2, c.Bytes.end());
  const size_t keep = std::min<size_t>(body.size(), id == 221 ? 4 : id == 255 ? 1 : 0);
  for (uint8_t fill : {0xFF, 0x00}) {
    Blob filled = body;
    std::fill(filled.begin() + static_cast<ptrdiff_t>(keep), filled.end(), fill);
    variants.emplace_back(fill ? "filled with FF" : "filled with 00", ElementOf(id, filled));
  }
  for (size_t n : std::set<size_t>{keep, keep + 1, body.size() - 1})
    if (n >= keep && n < body.size())
      variants.emplace_back("cut to " + std::to_string(n) + " bytes",
                            ElementOf(id, Blob(body.begin(), body.begin() + static_cast<ptrdiff_t>(n))));
  if (body.size() < 255) {
    Blob longer = body;
    longer.push_back(0);
    variants.emplace_back("one byte longer", ElementOf(id, longer));
  }
  return variants;
}

std::string Render(const Case& c) {
  std::string text;
  for (const auto& [label, blob] : Variants(c)) {
    text += "# " + label + ": " + BytesToHex(blob, "") + "\n";
    text += TreeOf(blob);
  }
  MarkingTexts marking;
  SetTextSource(&marking);
  text += "# as is, every text taken from the language in braces\n" + TreeOf(c.Bytes);
  SetTextSource(nullptr);
  return text;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteFileAtomically(const fs::path& path, const std::string& text) {
  fs::path temporary = path;
  temporary += ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << text;
    ASSERT_TRUE(out.flush()) << temporary;
  }
  fs::rename(temporary, path);
}

// The first line where the two texts differ, for a readable failure.
std::string FirstDifference(const std::string& expected, const std::string& actual) {
  std::istringstream a(expected), b(actual);
  std::string la, lb;
  for (int n = 1;; ++n) {
    bool moreA = static_cast<bool>(std::getline(a, la)), moreB = static_cast<bool>(std::getline(b, lb));
    if (!moreA && !moreB) return "identical";
    if (!moreA || !moreB || la != lb)
      return "line " + std::to_string(n) + "\n  golden: " + (moreA ? la : "<end>") +
             "\n  actual: " + (moreB ? lb : "<end>");
  }
}

TEST(GoldenTrees, EveryCaseMatchesItsGoldenTree) {
  const std::vector<Case> cases = ReadCases();
  ASSERT_GT(cases.size(), 50u) << "cases.txt not found in " << kGoldenDir;
  const bool update = std::getenv("SKIMLET_UPDATE_GOLDEN") != nullptr;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    ASSERT_FALSE(c.Bytes.empty());
    const fs::path path = kGoldenDir / (c.Name + ".tsv");
    const std::string actual = Render(c);
    if (update) {
      WriteFileAtomically(path, actual);
      continue;
    }
    ASSERT_TRUE(fs::exists(path)) << path << " is missing: run with SKIMLET_UPDATE_GOLDEN=1";
    const std::string expected = ReadFile(path);
    EXPECT_TRUE(expected == actual) << c.Name << ": " << FirstDifference(expected, actual);
  }
}

// Every golden file belongs to a case: a renamed or dropped case leaves no stale tree behind.
TEST(GoldenTrees, NoGoldenFileWithoutACase) {
  std::set<std::string> names;
  for (const Case& c : ReadCases()) EXPECT_TRUE(names.insert(c.Name).second) << "duplicate case " << c.Name;
  for (const auto& entry : fs::directory_iterator(kGoldenDir))
    if (entry.path().extension() == ".tsv") { EXPECT_TRUE(names.count(entry.path().stem().string())) << entry.path(); }
}

}  // namespace
}  // namespace skimlet
