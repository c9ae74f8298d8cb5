// The graphs bound to the network list: the network time graph, the single-network graph, the two
// current-connection graphs, and the channel spectrum graph of each band (2.4, 5 and 6 GHz).
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "core/graph/wifi_series.h"
#include "render/graph.h"

namespace skimlet {

class TWLANNetwork;

// Rows are networks; ValueType picks one of five network quantities (TNetworkQuantity).
class TGraphWiFiProto : public TGraphTime {
 public:
  // The current title of a network-list column; the language's title by default.
  std::function<QString(int column)> ColumnTitle;

  TWLANNetwork* GetRowNetwork(int row) const;
  // The title of column N with the unit of its quantity, unless the title carries it already.
  QString GetColumnCaption(int column) const;
  QString GetYCaption() override;

 protected:
  bool GetLegendEntry(int row, TLegendEntry& entry) override;
  // A sample is drawn when its network was active and the value is known.
  TSampleAt SampleReader(const TTimeMultiDataSeries& series) override;
};

// The current value of a network for a quantity; -infinity without network, for an inactive one, and for an
// unknown rate, utilisation or station count.
double GetNetworkValue(const TWLANNetwork* network, int valueType);

// The network time graph of the Graphs page: one line per ticked row, with the fixed or data range of the
// quantity.
class TGraphWiFiTime : public TGraphWiFiProto {
 public:
  // Minimum, maximum and mean of the current values of the shown networks (the "Min:", "Max:", "Avg:" labels);
  // infinite minimum and maximum, mean 0 when no shown network has a value.
  TRangeStats GetNetworkValueStats();

 protected:
  void UpdateScales() override;
};

// The single-network graph of the details page: the selected rows only, all in one colour.
class TGraphWiFiTimeSingle : public TGraphWiFiTime {
 public:
  bool IsRowShown(int row) override;
  QColor GetRowColor(int row) override;
  // The window's statistics of the first selected row's series (active samples only).
  TRangeStats GetSelectedSeriesStats();
};

// Signal strength (ValueType 0) or quality (1) of the current connection, with a statistics box in place of
// the legend.
class TGraphCurrentConnection : public TGraphWiFiProto {
 public:
  TGraphCurrentConnection();
  // The connection's series of the selected interface; nullptr when there is none.
  std::function<const TCurrentConnectionSeries*()> ConnectionSeries;

  const TTimeMultiDataSeries* GetRowSeries(int row) override;
  QColor GetRowColor(int row) override;
  bool IsRowSelected(int) override { return true; }

 protected:
  int GetLegendWidth(QPainter& p) override;
  void DrawSeries(const TGraphRect& s, QPainter& p) override;
  void DrawLegendEntries(const TGraphRect& legend, QPainter& p, int capacity) override;
  int GetLegendCount() override { return 5; }
  void UpdateScales() override;
  TSampleAt SampleReader(const TTimeMultiDataSeries& series) override;
};

// The growth per second of the frame counters of a statistics table: row i of the bound table (Tree) draws
// counter series i in palette colour i; every sample is drawn. No traffic gives the range 0 ... 1000.
class TGraphLayerTime : public TGraphTime {
 public:
  // The counter series of the selected interface's statistics (the MAC counters, then the PHY counters);
  // nullptr without interface or statistics.
  std::function<const std::vector<std::unique_ptr<TCountersSeries>>*()> CounterSeries;
  // The bound table's text of column 0 for a row: the counter's name.
  std::function<QString(int row)> RowName;
  // The caption of the bound table's sort column; empty when no column is the sort column.
  std::function<QString()> SortColumnCaption;

  QColor GetRowColor(int row) override;
  TSampleAt SampleReader(const TTimeMultiDataSeries& series) override;
  QString GetYCaption() override { return SortColumnCaption ? SortColumnCaption() : QString(); }

 protected:
  // Series Index of the list, or nullptr.
  const TCountersSeries* SeriesAt(int index) const;
  bool GetLegendEntry(int row, TLegendEntry& entry) override;
  void UpdateScales() override;
};

// The MAC counters (12 rows); ValueType 2 the multicast counters, any other value the unicast ones.
class TGraphMACLayerTime : public TGraphLayerTime {
 public:
  TGraphMACLayerTime() { ValueType = 1; }
  const TTimeMultiDataSeries* GetRowSeries(int row) override;
};

// The PHY counters (18 rows); ValueType a PHY type, or -1 the total over all PHY types.
class TGraphPhyLayerTime : public TGraphLayerTime {
 public:
  TGraphPhyLayerTime() { ValueType = -1; }
  const TTimeMultiDataSeries* GetRowSeries(int row) override;
};

// The channel spectrum of one band: every shown, active network of the band as the outline of its transmit
// spectrum at its current level. Band 0, 1 or 2 (2.4, 5, 6 GHz).
class TGraphRSSIChannels : public TGraphWiFiProto {
 public:
  explicit TGraphRSSIChannels(int band);
  const int Band;
  bool DrawBackgroundSpectrum = false;

  bool IsRowShown(int row) override;
  QString GetYCaption() override;

 protected:
  void DrawAxisCaptions(TGraphRect& r, QPainter& p) override;
  void DrawArgumentAxis(const TGraphRect& plot, QPainter& p) override;
  void UpdateScales() override;
  QString GetXCaption() override { return {}; }
  void DrawOneSeries(const TGraphRect& s, QPainter& p, int row) override;
};

class TGraphRSSIChannel2 : public TGraphRSSIChannels {
 public:
  TGraphRSSIChannel2() : TGraphRSSIChannels(0) {}
};
class TGraphRSSIChannel5 : public TGraphRSSIChannels {
 public:
  TGraphRSSIChannel5() : TGraphRSSIChannels(1) {}
};
class TGraphRSSIChannel6 : public TGraphRSSIChannels {
 public:
  TGraphRSSIChannel6() : TGraphRSSIChannels(2) {}
};

}  // namespace skimlet
