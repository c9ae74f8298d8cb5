#include "core/model/network.h"

namespace skimlet {}  // namespace skimlet
