#include "core/report/network_table.h"

#include "core/model/network.h"

namespace skimlet::report {

std::vector<TNetworkColumn> DefaultNetworkColumns() {
  std::vector<TNetworkColumn> columns;
  for (const TNetworkColumnInfo& c : NetworkColumns())
    if (c.Id != TNetworkColumn::Marker && !c.HiddenByDefault) columns.push_back(c.Id);
  return columns;
}

TExportTable NetworkExportTable(std::span<const TWLANNetwork* const> networks,
                                std::span<const TNetworkColumn> columns) {
  TExportTable table;
  table.Columns.reserve(columns.size());
  for (const TNetworkColumn id : columns) {
    const TNetworkColumnInfo& c = NetworkColumnInfo(id);
    table.Columns.push_back({NetworkColumnTitle(id), c.DefaultAlignment, c.DefaultWidth, NetworkColumnKind(id)});
  }
  table.Rows.reserve(networks.size());
  for (const TWLANNetwork* n : networks) {
    TExportRow row;
    row.Cells.reserve(columns.size());
    for (const TNetworkColumn id : columns) row.Cells.push_back(NetworkCellText(*n, id));
    table.Rows.push_back(std::move(row));
  }
  return table;
}

}  // namespace skimlet::report
