// Radio values: names and formulas shared by the element decoders and the network record.
#pragma once

namespace skimlet {}  // namespace skimlet
