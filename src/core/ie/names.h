// The name tables of the element subsystem. Searched from the first row; the first matching row wins.
#pragma once

#include "core/ie/util.h"

namespace skimlet {

// Element names by element ID (140 rows).
TKeyAndValueTable ElementNameTable();
// Extension element names by extension ID.
TKeyAndValueTable ExtensionNameTable();
// Short vendor names by 24-bit OUI.
TKeyAndValueTable OUINameTable();

}  // namespace skimlet
