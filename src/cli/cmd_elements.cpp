// skimlet-cli elements: the element tree of an element blob.
#include <cstdio>
#include <optional>

#include "cli/arguments.h"
#include "cli/command_table.h"
#include "cli/commands.h"
#include "cli/language.h"
#include "cli/report_output.h"
#include "cli/standard_output.h"
#include "cli/snapshot_input.h"
#include "core/base/format.h"
#include "core/base/hex.h"
#include "core/base/translate.h"
#include "core/hexdump/hex_layout.h"
#include "core/ie/elements.h"
#include "core/ie/tree_text.h"
#include "core/report/element_dump.h"

namespace skimlet::cli {

namespace {
constexpr const char* kUsage =
    "Usage: skimlet-cli elements --hex HEX [--tsv | --dump | --export FORMAT -o OUTPUT]\n"
    "       skimlet-cli elements [--tsv | --dump | --export FORMAT -o OUTPUT] --bssid BSSID [--] FILE\n"
    "\n"
    "Decodes an element blob (the information elements of a beacon or probe response) and prints its element\n"
    "tree, one line per tree line: two blanks of indent per level below the root line, the text, a TAB and\n"
    "@OFFSET+LENGTH, the blob bytes the line describes.\n"
    "\n"
    "  --hex HEX      the blob as hex digits; blanks, ':' and '-' between bytes are allowed\n"
    "  FILE --bssid   the blob of that network (00-11-22-33-44-55 or 00:11:22:33:44:55) in a snapshot or capture;\n"
    "                 FILE - is standard input\n"
    "  --tsv          print LEVEL, OFFSET, LENGTH and TEXT separated by TABs instead\n"
    "  --dump         print the blob as a hex dump instead: the offset, sixteen bytes in hex and the same bytes\n"
    "                 as characters ('.' for bytes outside 0x21 to 0x7E), each line ending in CR LF\n"
    "  --export F     write to the file given with -o instead (replaced only once it is complete):\n"
    "                 txt, csv, html, rtf  the element tree as a table of one column, each line indented by\n"
    "                                      its level (txt and csv: one separator per level)\n"
    "                 dump                 the hex dump of --dump\n"
    "                 bin                  the blob's bytes exactly as received\n"
    "  -o OUTPUT      with --export: the file; - writes to standard output\n"
    "  --             ends the options: what follows is the file, even when it starts with '-'\n";

int Usage(const std::string& message) { return UsageError("elements", message); }

// BSSID text as the network list writes it: upper-case hex pairs joined by "-".
std::string NormalisedBSSID(const std::string& text) {
  auto bytes = ParseHexBytes(text);
  if (!bytes || bytes->size() != 6) return {};
  return BytesToHex(*bytes, "-");
}
// The parser leaves out a last element whose body runs past the end of the blob, and a lone last byte. Here
// they are not passed over in silence: a line under the root names what is missing, tied to the bytes.
void ReportCutEnd(TIETree& tree, const TElementTail& tail) {
  if (!tail.Cut()) return;
  const TIETreeLine root = tree.FirstChild(kNoLine);
  std::string text;
  if (tail.Length == 1) {
    text = Format(Translate("Truncated element: a lone byte (0x%.2X) at the end"), {tail.ID});
  } else {
    text = Format(Translate("Truncated element: ID %d announces %d octets, %d present"),
                  {tail.ID, tail.Announced, static_cast<int>(tail.Present())});
  }
  tree.Add(root, {text, static_cast<int32_t>(tail.Offset), static_cast<int32_t>(tail.Length)});
}

}  // namespace

std::string ElementsHelp() { return kUsage; }

int RunElements(const Args& args) {
  std::string hex, bssid, exportFormat, output;
  bool haveHex = false, haveBSSID = false, tsv = false, dump = false;
  std::vector<std::string> files;
  const CommandLine line = CommandLineOf("elements");
  if (auto status = ReadArguments(line, args, files, [&](const Args& args, size_t& i, std::string& error) {
        const std::string& a = args[i];
        if (a == "--tsv") {
          tsv = true;
        } else if (a == "--dump") {
          dump = true;
        } else if (a == "-o") {
          if (i + 1 < args.size()) output = args[++i];
          else error = "-o needs a value";
        } else if (TakeOption(args, i, "--hex", hex, error)) {
          haveHex = true;
        } else if (TakeOption(args, i, "--bssid", bssid, error)) {
          haveBSSID = true;
        } else if (!TakeOption(args, i, "--export", exportFormat, error) &&
                   !TakeOption(args, i, "--output", output, error)) {
          return false;
        }
        return true;
      }))
    return *status;
  const bool haveFile = !files.empty();
  const std::string file = haveFile ? files.front() : std::string();
  if (haveHex == haveFile || haveFile != haveBSSID) return Usage("give either --hex HEX or FILE --bssid BSSID");
  if (tsv + dump + !exportFormat.empty() > 1) return Usage("--tsv, --dump and --export exclude each other");
  if (exportFormat.empty() != output.empty()) return Usage("--export and -o OUTPUT go together");
  std::optional<report::TExportFormat> tableFormat;
  if (!exportFormat.empty() && exportFormat != "dump" && exportFormat != "bin") {
    tableFormat = ParseExportFormat(exportFormat);
    if (!tableFormat) return Usage("--export wants txt, csv, html, rtf, dump or bin, not '" + exportFormat + "'");
  }
  InstallVendorNames();
  std::vector<uint8_t> blob;
  std::string error;
  if (haveHex) {
    auto bytes = ParseHexBytes(hex, &error);
    if (!bytes) { return Usage("invalid hex after --hex: " + error); }
    blob = std::move(*bytes);
  } else {
    std::string wanted = NormalisedBSSID(bssid);
    if (wanted.empty()) { return Usage("invalid BSSID '" + bssid + "' (like 00:11:22:33:44:55)"); }
    auto loaded = LoadNetworks(file, error);
    if (!loaded) {
      std::fprintf(stderr, "skimlet-cli elements: %s\n", error.c_str());
      return 1;
    }
    const TWLANNetwork* found = nullptr;
    for (const auto& n : loaded->List->Items)
      if (n->BSSIDText == wanted) {
        found = n.get();
        break;
      }
    if (!found) {
      std::fprintf(stderr, "skimlet-cli elements: %s: no network %s\n", InputName(file).c_str(), wanted.c_str());
      return 1;
    }
    blob = found->Elements.Data;
  }
  if (dump) return WriteOutputStatus(hexdump::DumpText(blob));
  if (output == "-" && (exportFormat == "dump" || exportFormat == "bin"))
    return WriteOutputStatus(exportFormat == "bin" ? std::string(blob.begin(), blob.end()) : hexdump::DumpText(blob));
  if (exportFormat == "dump" || exportFormat == "bin") {
    const auto kind = exportFormat == "bin" ? report::TDumpFormat::Binary : report::TDumpFormat::Text;
    if (std::string why = report::WriteElementDump(blob, kind, output); !why.empty()) {
      std::fprintf(stderr, "skimlet-cli elements: %s\n", why.c_str());
      return 1;
    }
    return 0;
  }
  // TSV is for programs: its texts read the same in every language.
  std::optional<MachineTexts> english;
  if (tsv) english.emplace();
  TInformationElements elements;
  elements.Parse(blob);
  TIETree tree;
  elements.FillTree(tree);
  ReportCutEnd(tree, elements.Tail);
  if (tableFormat && output == "-")
    return WriteOutputStatus(report::RenderTable(report::ElementTreeTable(tree), *tableFormat));
  if (tableFormat) {
    if (std::string why = report::WriteTableExport(report::ElementTreeTable(tree), *tableFormat, output);
        !why.empty()) {
      std::fprintf(stderr, "skimlet-cli elements: %s\n", why.c_str());
      return 1;
    }
    return 0;
  }
  std::string out = tsv ? TreeToTSV(tree) : TreeToText(tree);
  return WriteOutputStatus(out);
}

}  // namespace skimlet::cli
