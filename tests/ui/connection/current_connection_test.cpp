// The Current connection page's panel over a fake service: the 21 rows of a connected and a disconnected
// interface, text from the air kept plain, the radio rows with their icons and hints, and the Disconnect
// button with its command (question, failure message, the interface looked up again).
#include <QAction>
#include <QPushButton>
#include <QTextDocument>
#include <QToolButton>
#include <QTreeWidget>
#include <QWidget>

#include <gtest/gtest.h>

#include "core/base/format.h"
#include "core/base/safe_text.h"
#include "core/settings/options.h"
#include "support/fake_wlan_service.h"
#include "core/wlan/wlan_interface.h"
#include "ui/commands/command_host.h"
#include "ui/commands/commands.h"
#include "ui/connection/current_connection.h"

namespace skimlet {
namespace {

// What a tool tip shows once Qt has decided between plain and rich text.
QString ShownText(const QString& tip) {
  QTextDocument doc;
  if (Qt::mightBeRichText(tip)) doc.setHtml(tip);
  else doc.setPlainText(tip);
  return doc.toPlainText();
}

// Text from the air or the driver as the window shows it (bidi-isolated).
QString W(const std::string& s) { return QString::fromStdString(SafeText(s, SafeTextStyle::Window)); }

WLAN_CONNECTION_ATTRIBUTES Attributes(const std::string& ssid, bool secured) {
  WLAN_CONNECTION_ATTRIBUTES a;
  a.isState = kInterfaceConnected;
  a.wlanConnectionMode = 0;
  a.strProfileName = "Office profile";
  a.dot11Ssid.uSSIDLength = static_cast<uint32_t>(ssid.size());
  std::copy(ssid.begin(), ssid.end(), a.dot11Ssid.ucSSID.begin());
  a.dot11BssType = 1;
  a.dot11Bssid = {0x02, 0x11, 0x22, 0x33, 0x44, 0x55};
  a.dot11PhyType = 8;
  a.wlanSignalQuality = 74;
  a.ulRxRate = 866700;
  a.ulTxRate = 433300;
  a.bSecurityEnabled = secured ? 1 : 0;
  a.dot11AuthAlgorithm = 7;
  a.dot11CipherAlgorithm = 4;
  return a;
}

// A host over one interface of the fake; Answer is what every question gets.
class THost : public TCommandHost {
 public:
  explicit THost(TWLANInterfaces& set) : set_(set) {}
  TProgramOptions& HostOptions() override { return options_; }
  TNetworkListView* HostList() const override { return nullptr; }
  TWLANInterface* SelectedInterface() const override { return set_.Selected(); }
  TWLANNetworkList* SelectedNetworks() const override { return nullptr; }
  QMessageBox::StandardButton Ask(const QString& text, const QString&, QMessageBox::Icon,
                                  QMessageBox::StandardButtons) override {
    Asked << text;
    // The selection may change while a message box runs its loop.
    if (OnAsk) OnAsk();
    return Answer;
  }
  QColor PickColor(const QColor&) override { return {}; }
  void ClearNetworks() override {}
  void RefreshNetworks() override {}
  void RefreshInterfaceState() override {
    ++Refreshes;
    if (TWLANInterface* itf = set_.Selected()) itf->UpdateConnection();
  }
  void PauseUpdating(bool) override {}
  void ReenumerateInterfaces() override {}
  void ShowFilters(bool) override {}
  void RestoreColumnsOrder() override {}
  void CloseWindow() override {}

  QStringList Asked;
  QMessageBox::StandardButton Answer = QMessageBox::Yes;
  std::function<void()> OnAsk;
  int Refreshes = 0;

 private:
  TWLANInterfaces& set_;
  TProgramOptions options_;
};

class ConnectionPanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WLAN_INTERFACE_INFO_LIST list;
    list.InterfaceInfo.push_back({WLAN_GUID{1}, "Intel(R) Wi-Fi 6E", kInterfaceConnected});
    fake_.Interfaces = {0, list.Encode()};
    fake_.SetQuery(kOpcodeInterfaceState, EncodeUInt32Value(kInterfaceConnected));
    fake_.SetQuery(kOpcodeAutoConfEnabled, EncodeUInt32Value(1));
    fake_.SetQuery(kOpcodeBackgroundScanEnabled, EncodeUInt32Value(1));
    fake_.SetQuery(kOpcodeChannelNumber, EncodeUInt32Value(36));
    fake_.SetQuery(kOpcodeRssi, EncodeInt32Value(-58));
    ASSERT_TRUE(set_.Enumerate());
    set_.SetSelectedIndex(0);
    Itf().Networks->VendorLookup = nullptr;
  }
  TWLANInterface& Itf() { return *set_.Items.at(0); }
  void Connect(const std::string& ssid, bool secured) {
    fake_.SetQuery(kOpcodeCurrentConnection, Attributes(ssid, secured).Encode());
    Itf().UpdateProperties();
    Itf().UpdateConnection();
  }
  QTreeWidgetItem* Row(int i) const { return panel_.ConnectionTable()->topLevelItem(i); }

  test::FakeWlanService fake_;
  TProgramOptions options_;
  TWLANInterfaces set_{fake_, options_};
  ui::TCurrentConnectionPanel panel_{nullptr, nullptr, nullptr};
};

TEST_F(ConnectionPanelTest, ConnectedInterfaceFillsEveryRowAndADisconnectedOneOnlyTheInterfaceRows) {
  Connect("Office", true);
  Itf().Connection->Vendor = "Acme Networks";
  panel_.RefreshConnectionView(&Itf());
  ASSERT_EQ(panel_.ConnectionTable()->topLevelItemCount(), kConnectionRowCount);
  const TWLANConnection& c = *Itf().Connection;
  const QString expected[kConnectionRowCount] = {W("Intel(R) Wi-Fi 6E"),
                                                 QString::fromStdString(InterfaceStateText(kInterfaceConnected)),
                                                 "sNo",
                                                 "sYes",
                                                 "sYes",
                                                 W("Office"),
                                                 QString::fromStdString(c.BSSIDText),
                                                 W("Acme Networks"),
                                                 QString::fromStdString(c.BssTypeText()),
                                                 QString::fromStdString(c.PhyTypeText()),
                                                 "36",
                                                 "-58",
                                                 "74%",
                                                 QString::fromStdString(RateKbpsText(866700)),
                                                 QString::fromStdString(RateKbpsText(433300)),
                                                 QString::fromStdString(c.ConnectionModeText()),
                                                 W("Office profile"),
                                                 "sYes",
                                                 QString::fromStdString(AuthAlgorithmText(7)),
                                                 QString::fromStdString(CipherAlgorithmText(4)),
                                                 "sNo"};
  for (int i = 0; i < kConnectionRowCount; ++i) {
    EXPECT_EQ(Row(i)->text(0), QString::fromUtf8(ConnectionRowKeys()[static_cast<size_t>(i)])) << i;
    EXPECT_EQ(Row(i)->text(1), expected[i]) << i;
  }
  EXPECT_FALSE(Row(5)->icon(1).isNull());  // signal icon
  EXPECT_FALSE(Row(9)->icon(1).isNull());  // PHY icon

  // Unsecured: no algorithms.
  Connect("Cafe", false);
  panel_.RefreshConnectionView(&Itf());
  EXPECT_EQ(Row(17)->text(1), "sNo");
  EXPECT_TRUE(Row(18)->text(1).isEmpty());
  EXPECT_TRUE(Row(19)->text(1).isEmpty());

  // The connection goes: rows 0 to 4 still show the interface, the rest is empty and without icons.
  fake_.FailQuery(kOpcodeCurrentConnection);
  fake_.SetQuery(kOpcodeInterfaceState, EncodeUInt32Value(kInterfaceDisconnected));
  Itf().UpdateProperties();
  Itf().UpdateConnection();
  panel_.RefreshConnectionView(&Itf());
  EXPECT_EQ(Row(0)->text(1), W("Intel(R) Wi-Fi 6E"));
  EXPECT_EQ(Row(1)->text(1), QString::fromStdString(InterfaceStateText(kInterfaceDisconnected)));
  EXPECT_EQ(Row(4)->text(1), "sYes");
  for (int i = 5; i < kConnectionRowCount; ++i) EXPECT_TRUE(Row(i)->text(1).isEmpty()) << i;
  EXPECT_TRUE(Row(5)->icon(1).isNull());

  // No interface: every value empty.
  panel_.RefreshConnectionView(nullptr);
  for (int i = 0; i < kConnectionRowCount; ++i) EXPECT_TRUE(Row(i)->text(1).isEmpty()) << i;
}

TEST_F(ConnectionPanelTest, SsidAndVendorStayPlainTextInCellsAndHints) {
  Connect("<img src=x>", true);
  Itf().Connection->Vendor = "<b>Acme</b> & Co";
  panel_.RefreshConnectionView(&Itf());
  for (auto [row, text] : {std::pair{5, "<img src=x>"}, {7, "<b>Acme</b> & Co"}}) {
    EXPECT_EQ(Row(row)->text(1), W(text)) << row;
    EXPECT_EQ(ShownText(Row(row)->toolTip(1)), W(text)) << row;
  }
}

TEST_F(ConnectionPanelTest, RadioRowsShowTheReportedStatesAndUnknownForTheOthers) {
  WLAN_RADIO_STATE r;
  r.PhyRadioState = {{0, kRadioOn, kRadioOn}, {1, kRadioOff, kRadioOn}};
  fake_.SetQuery(kOpcodeRadioState, r.Encode());
  fake_.SetCapability({7, 8});
  Itf().UpdateRadioState();
  panel_.RefreshRadioView(&Itf());

  QTreeWidget* t = panel_.RadioTable();
  ASSERT_EQ(t->topLevelItemCount(), static_cast<int>(kRadioRowPhyTypes.size()));
  for (int i = 0; i < t->topLevelItemCount(); ++i) {
    QTreeWidgetItem* row = t->topLevelItem(i);
    const uint32_t phy = kRadioRowPhyTypes[static_cast<size_t>(i)];
    EXPECT_EQ(row->text(0), QString::fromStdString(PhyTypeName(static_cast<int>(phy))));
    const uint32_t hardware = row->data(1, Qt::UserRole).toUInt();
    const uint32_t software = row->data(2, Qt::UserRole).toUInt();
    const std::string mode = Format("Mode: %s", {PhyTypeName(static_cast<int>(phy))});
    if (phy == 7 || phy == 8) {
      EXPECT_EQ(hardware, 1u) << phy;
      EXPECT_EQ(software, phy == 7 ? 1u : 2u) << phy;
      EXPECT_EQ(ShownText(row->toolTip(0)).toStdString(),
                mode + "\nHadware: SRadioStateON\nSoftware: " + (phy == 7 ? "SRadioStateON" : "SRadioStateOFF"));
    } else {
      EXPECT_EQ(hardware, 0u) << phy;
      EXPECT_EQ(software, 0u) << phy;
      EXPECT_EQ(ShownText(row->toolTip(0)).toStdString(), mode + "\nNot Supported");
    }
    EXPECT_FALSE(row->icon(1).isNull());
    EXPECT_FALSE(row->icon(2).isNull());
  }
  // The software-off icon differs from the on icon.
  EXPECT_NE(t->topLevelItem(3)->icon(2).pixmap(16).toImage(), t->topLevelItem(4)->icon(2).pixmap(16).toImage());
}

TEST_F(ConnectionPanelTest, DisconnectButtonFollowsTheConnectionAndReportsAFailure) {
  Connect("Office", true);
  THost host(set_);
  QWidget window;
  TCommands commands(host, &window);
  ui::TCurrentConnectionPanel panel(commands.Action(TCommand::CurrentConnectionDisconnect), nullptr,
                                    commands.Action(TCommand::RadioSwitchAll));
  EXPECT_FALSE(panel.ProfilesButton()->isEnabled());  // no profiles dialog behind it
  commands.Update({.Interface = true, .Connected = false});
  EXPECT_FALSE(panel.DisconnectButton()->isEnabled());
  commands.Update({.Interface = true, .Connected = true});
  ASSERT_TRUE(panel.DisconnectButton()->isEnabled());

  // No: nothing happens.
  host.Answer = QMessageBox::No;
  panel.DisconnectButton()->click();
  ASSERT_EQ(host.Asked.size(), 1);
  EXPECT_EQ(host.Asked[0], QString::fromStdString(Format("sDisconnectInfo", {W("Office").toStdString()})));
  EXPECT_EQ(fake_.DisconnectCalls, 0);

  // Yes, and the service refuses: the failure is said, the connection refreshed.
  host.Answer = QMessageBox::Yes;
  fake_.DisconnectResult = WlanError::kInvalidState;
  panel.DisconnectButton()->click();
  EXPECT_EQ(fake_.DisconnectCalls, 1);
  EXPECT_EQ(host.Asked.size(), 3);
  EXPECT_EQ(host.Refreshes, 1);

  // The interface goes while the question is open: nothing is disconnected.
  host.OnAsk = [this] { set_.SetSelectedIndex(-1); };
  panel.DisconnectButton()->click();
  EXPECT_EQ(fake_.DisconnectCalls, 1);
}

}  // namespace
}  // namespace skimlet
