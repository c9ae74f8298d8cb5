// The element tree as plain text, one line per tree line. Other tools read this format: keep it stable.
//   indented: two blanks per level below the root line, the text, a TAB, "@OFFSET+LENGTH"
//   TSV:      LEVEL TAB OFFSET TAB LENGTH TAB TEXT
// Texts go through SafeText's terminal style (an SSID may hold any byte): control and direction characters
// are written as \xNN or \uNNNN, so that every tree line stays one output line and inert.
#pragma once

#include <string>

#include "core/ie/tree.h"

namespace skimlet {

std::string TreeToText(const TIETree& tree);
std::string TreeToTSV(const TIETree& tree);

}  // namespace skimlet
