// The element tree as plain text, one line per tree line. Other tools read this format: keep it stable.
//   indented: two blanks per level below the root line, the text, a TAB, "@OFFSET+LENGTH"
//   TSV:      LEVEL TAB OFFSET TAB LENGTH TAB TEXT
// Control characters inside a text (an SSID may hold any byte) are written as \xNN so that every tree line
// stays one output line.
#pragma once

#include <string>

#include "core/ie/tree.h"

namespace skimlet {

std::string TreeToText(const TIETree& tree);
std::string TreeToTSV(const TIETree& tree);

}  // namespace skimlet
