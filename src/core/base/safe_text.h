// Network text made safe to show. SSIDs, vendor names, WPS strings, comments, profile names and interface
// descriptions come from strangers: a name may carry terminal escape sequences (ESC, OSC 52 clipboard writes),
// BEL, backspace, line breaks, C1 controls (U+0080-U+009F, e.g. U+009B, the 8-bit CSI), the Unicode line and
// paragraph separators U+2028/U+2029 or bidirectional formatting characters that reorder the text around it.
//
// The characters treated as unsafe:
//   C0 controls U+0000-U+001F, DEL U+007F, C1 controls U+0080-U+009F, U+2028, U+2029, the bidirectional
//   embeddings, overrides and isolates U+202A-U+202E and U+2066-U+2069, the marks U+200E, U+200F and U+061C;
//   and bytes that are not well-formed UTF-8.
//
// Styles:
//   Terminal: each unsafe ASCII byte and each byte that is not UTF-8 as \xNN, each unsafe non-ASCII character
//             as \uNNNN; '\' as \x5C, so that the escapes cannot be mistaken for text. One output line, no TAB.
//   Json:     the body of a JSON string (without its quotes): '"' and '\' escaped, every unsafe character as
//             \uNNNN, a byte that is not UTF-8 as \ufffd. The result is valid JSON and valid UTF-8.
//   Window:   unsafe characters as in Terminal ('\' stays as it is), the whole text wrapped in FIRST STRONG
//             ISOLATE U+2068 ... POP DIRECTIONAL ISOLATE U+2069, so that its direction cannot spill into the
//             text around it. Show the result as plain text. The empty text stays empty.
#pragma once

#include <string>
#include <string_view>

namespace skimlet {

enum class SafeTextStyle { Terminal, Json, Window };

std::string SafeText(std::string_view text, SafeTextStyle style);

// True for the characters listed above.
bool IsUnsafeCodePoint(char32_t c);

}  // namespace skimlet
