// Reads an exported file or a report back through a real parser (readback.py: Python's html.parser and csv
// module, unrtf for RTF) and returns what it found.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/wait.h>

namespace skimlet::test {

struct TReadBack {
  bool Ok = false;  // the parser read the whole file
  bool ByteOrderMark = false;
  std::vector<std::vector<std::string>> Rows;
  std::vector<std::string> Tags, Ids, Hrefs, Images;
};

inline std::string FromHex(const std::string& hex) {
  if (hex == "-") return {};
  std::string out;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  return out;
}

inline bool HaveProgram(const char* name) {
  return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

// Text as an HTML or RTF reader renders it: tabs, line breaks and no-break spaces as blanks, runs of blanks
// as one, none at the ends.
inline std::string FoldedWhiteSpace(std::string s) {
  for (size_t p; (p = s.find("\xC2\xA0")) != std::string::npos;) s.replace(p, 2, " ");
  std::string out;
  for (const char c : s) {
    const char d = (c == '\t' || c == '\r' || c == '\n') ? ' ' : c;
    if (d == ' ' && (out.empty() || out.back() == ' ')) continue;
    out += d;
  }
  if (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

// Mode: html, csv, txt or rtf.
inline TReadBack ReadBack(const std::string& mode, const std::filesystem::path& file) {
  TReadBack r;
  const std::string command = "python3 '" SKIMLET_READBACK "' " + mode + " '" + file.string() + "'";
  FILE* p = popen(command.c_str(), "r");
  if (!p) return r;
  std::string out;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, p)) > 0) out.append(buffer, n);
  const int status = pclose(p);
  r.Ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  size_t pos = 0;
  while (pos < out.size()) {
    size_t end = out.find('\n', pos);
    if (end == std::string::npos) end = out.size();
    const std::string line = out.substr(pos, end - pos);
    pos = end + 1;
    const size_t blank = line.find(' ');
    const std::string kind = line.substr(0, blank);
    const std::string rest = blank == std::string::npos ? "" : line.substr(blank + 1);
    if (kind == "BOM") r.ByteOrderMark = true;
    else if (kind == "TAG") r.Tags.push_back(rest);
    else if (kind == "ID") r.Ids.push_back(FromHex(rest));
    else if (kind == "HREF") r.Hrefs.push_back(FromHex(rest));
    else if (kind == "IMG") r.Images.push_back(FromHex(rest));
    else if (kind == "ROW") {
      std::vector<std::string> cells;
      size_t p2 = 0;
      while (p2 <= rest.size() && !rest.empty()) {
        size_t e = rest.find(' ', p2);
        if (e == std::string::npos) e = rest.size();
        cells.push_back(FromHex(rest.substr(p2, e - p2)));
        p2 = e + 1;
      }
      r.Rows.push_back(std::move(cells));
    }
  }
  return r;
}

}  // namespace skimlet::test
