// The network list as the plain inputs of the report and the exports: its default columns, its networks as
// an export table.
#pragma once

#include <span>
#include <vector>

#include "core/model/columns.h"
#include "core/report/table_export.h"

namespace skimlet {
class TWLANNetwork;
}

namespace skimlet::report {

// The columns of the default layout in order, without the marker column.
std::vector<TNetworkColumn> DefaultNetworkColumns();

// The networks (in the order given) with the given columns: titles in the current language, the columns'
// default alignments and widths, their kinds (NetworkColumnKind) and each network's cell texts.
TExportTable NetworkExportTable(std::span<const TWLANNetwork* const> networks, std::span<const TNetworkColumn> columns);

}  // namespace skimlet::report
