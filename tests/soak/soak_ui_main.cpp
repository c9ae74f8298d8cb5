// skimlet-soak-ui: the soak run with the window's network list in it, on Qt's offscreen platform: the list
// model follows every refresh (Sync, and Forget before stale networks go), its cells are read as paints and
// copies read them, and the view paints the rows it shows.
#include <malloc.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <iostream>
#include <memory>

#include "core/settings/options.h"
#include "core/wlan/update_cycle.h"
#include "core/wlan/wlan_interface.h"
#include "core/base/memory_policy.h"
#include "soak/soak.h"
#include "ui/list/network_view.h"

using namespace skimlet;

int main(int argc, char** argv) {
  SetLongRunMemoryPolicy();
  mallopt(M_ARENA_MAX, 1);  // see skimlet-soak
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int qtArgc = 1;
  QApplication app(qtArgc, argv);

  soak::SoakOptions options;
  std::string error;
  if (!soak::ParseSoakArguments(argc, argv, options, error)) {
    std::cerr << "skimlet-soak-ui: " << error
              << "\nusage: skimlet-soak-ui [--hours N] [--warmup-hours N] [--aps N] [--seed N] [--limit PERCENT]\n";
    return 2;
  }

  // The view's own options: the model and delegate read them at every paint.
  TProgramOptions viewOptions;
  TNetworkListModel model(viewOptions);
  TNetworkListView view(viewOptions, &model);
  view.resize(1000, 700);
  QImage canvas(view.size(), QImage::Format_ARGB32_Premultiplied);
  int refreshes = 0;

  soak::SoakHooks hooks;
  hooks.Removing = [&](TWLANNetworkList& list, const std::vector<const TWLANNetwork*>& stale) {
    if (&list == model.List()) model.Forget(stale);
  };
  hooks.AfterRefresh = [&](TWLANNetworkList& list) {
    if (model.List() != &list) model.SetList(&list);
    model.Sync();
    // Every role of the rows a screen shows, as a paint asks for them; every tenth refresh the view paints
    // and every cell of every row is read, as a copy of the whole list would.
    const bool full = ++refreshes % 10 == 0;
    const int rows = full ? model.rowCount() : std::min(model.rowCount(), 40);
    for (int r = 0; r < rows; ++r)
      for (int c = 0; c < model.columnCount(); ++c)
        for (int role : {int(Qt::DisplayRole), int(Qt::DecorationRole), int(Qt::CheckStateRole), int(Qt::FontRole),
                         int(Qt::ForegroundRole), int(Qt::BackgroundRole), int(Qt::ToolTipRole)})
          (void)model.data(model.index(r, c), role);
    if (full) {
      QPainter painter(&canvas);
      view.render(&painter);
    }
    QCoreApplication::processEvents();
  };
  return soak::RunSoak(options, hooks, std::cout);
}
