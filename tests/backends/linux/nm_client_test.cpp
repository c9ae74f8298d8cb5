// The NetworkManager client against python-dbusmock's NetworkManager template on a private system bus, and the
// planning of autoconnect priorities that reorders profiles.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "backends/linux/nm_client.h"
#include "support/nm_mock_process.h"

namespace skimlet::linuxwifi {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// ---- Planning priorities, without a bus ------------------------------------------------------------------------

NmProfile P(std::string id, int32_t priority, uint64_t timestamp) {
  NmProfile p;
  p.Id = std::move(id);
  p.Priority = priority;
  p.Timestamp = timestamp;
  return p;
}

std::vector<NmProfile> Sorted(std::vector<NmProfile> v) {
  std::stable_sort(v.begin(), v.end(), NmProfileBefore);
  return v;
}

std::string Ids(const std::vector<NmProfile>& v) {
  std::string s;
  for (const auto& p : v) s += p.Id;
  return s;
}

TEST(PlanProfilePosition, EveryMoveGivesTheWantedOrderWithinTheRange) {
  const std::vector<std::vector<NmProfile>> lists = {
      {P("a", 0, 5), P("b", 0, 4), P("c", 0, 3), P("d", 0, 2), P("e", 0, 1)},               // NetworkManager's default
      {P("a", 30, 0), P("b", 20, 0), P("c", 10, 0), P("d", 0, 0), P("e", -10, 0)},          // gaps
      {P("a", 2, 0), P("b", 1, 9), P("c", 1, 8), P("d", 0, 0), P("e", 0, 0)},               // ties on all keys but id
      {P("a", 999, 1), P("b", 999, 0), P("c", -999, 2), P("d", -999, 1), P("e", -999, 0)},  // at the limits
  };
  for (const auto& list : lists) {
    auto current = Sorted(list);
    for (size_t from = 0; from < current.size(); ++from)
      for (size_t to = 0; to < current.size(); ++to) {
        SCOPED_TRACE(Ids(current) + " " + std::to_string(from) + "->" + std::to_string(to));
        auto plan = PlanProfilePosition(current, from, to);
        ASSERT_TRUE(plan);
        auto moved = current;
        for (size_t i = 0; i < moved.size(); ++i) {
          moved[i].Priority = (*plan)[i];
          EXPECT_GE(moved[i].Priority, kNmMinPriority);
          EXPECT_LE(moved[i].Priority, kNmMaxPriority);
        }
        auto want = current;
        auto p = want[from];
        want.erase(want.begin() + static_cast<std::ptrdiff_t>(from));
        want.insert(want.begin() + static_cast<std::ptrdiff_t>(to), p);
        EXPECT_EQ(Ids(Sorted(moved)), Ids(want));
        if (from == to) { EXPECT_EQ(Ids(moved), Ids(current)); }
      }
  }
}

TEST(PlanProfilePosition, TouchesFewProfiles) {
  auto changes = [](const std::vector<NmProfile>& list, size_t from, size_t to) {
    auto plan = PlanProfilePosition(list, from, to);
    size_t n = 0;
    for (size_t i = 0; plan && i < list.size(); ++i) n += (*plan)[i] != list[i].Priority;
    return n;
  };
  auto flat = Sorted({P("a", 0, 5), P("b", 0, 4), P("c", 0, 3), P("d", 0, 2), P("e", 0, 1)});
  auto gaps = Sorted({P("a", 30, 0), P("b", 20, 0), P("c", 10, 0), P("d", 0, 0), P("e", -10, 0)});
  EXPECT_EQ(changes(flat, 3, 0), 1u);  // to the top: above all
  EXPECT_EQ(changes(flat, 1, 4), 1u);  // to the bottom: below all
  EXPECT_EQ(changes(flat, 4, 1), 2u);  // between equals: the moved one and the one side that is shorter
  EXPECT_EQ(changes(gaps, 4, 1), 1u);  // into a gap
  EXPECT_EQ(changes(gaps, 0, 3), 1u);
  EXPECT_FALSE(PlanProfilePosition(flat, 0, 5));
}

// ---- The client against the mock -------------------------------------------------------------------------------

constexpr const char* kManager = "/org/freedesktop/NetworkManager";
constexpr const char* kDevice = "/org/freedesktop/NetworkManager/Devices/wlan0";
constexpr const char* kIfname = "wlan0";

// The mock on its own bus, with the client pointed at that bus.
class NmMock : public ::testing::Test {
 protected:
  void SetUp() override {
#ifndef SKIMLET_HAVE_SDBUS
    GTEST_SKIP() << "this build has no D-Bus support";
#endif
    std::string why;
    auto started = mock_.Start(SKIMLET_NM_MOCK, why);
    if (started == test::NmMockProcess::Started::kSkip) GTEST_SKIP() << why;
    ASSERT_EQ(started, test::NmMockProcess::Started::kReady) << why;
    Exec("dev = nm.AddWiFiDevice('wlan0', 'wlan0', 30)");
  }

  std::string Send(const std::string& line) { return mock_.Send(line); }
  void Exec(const std::string& code) { ASSERT_EQ(Send(code), "ok") << code; }
  std::string Eval(const std::string& expr) {
    std::string answer = Send("?" + expr);
    EXPECT_EQ(answer.rfind("= ", 0), 0u) << expr << ": " << answer;
    return answer.size() >= 2 ? answer.substr(2) : answer;
  }

  std::string Names() {
    std::vector<NmProfile> profiles;
    EXPECT_EQ(client_.Profiles(kIfname, profiles), 0u);
    std::string s;
    for (const auto& p : profiles) s += (s.empty() ? "" : ",") + p.Id;
    return s;
  }

  static std::vector<uint8_t> Bytes(std::string_view s) { return {s.begin(), s.end()}; }

  test::NmMockProcess mock_;
  NmClient client_;
};

TEST_F(NmMock, ProfilesAreTheInterfacesWirelessConnectionsInAutoconnectOrder) {
  Exec("add_conn('Old', 'a', ts=100)");
  Exec("add_conn('Favourite', 'b', prio=5, ts=10)");
  Exec("add_conn('Recent', 'c', ts=500)");
  Exec("add_conn('Beta', 'd', ts=300)");
  Exec("add_conn('Alpha', 'e', ts=300)");
  Exec("add_conn('Other adapter', 'f', prio=9, iface='wlan1')");
  Exec("add_conn('This adapter', 'g', prio=-1, iface='wlan0')");
  Exec("add_conn('Wired', 'h', prio=9, ctype='802-3-ethernet')");
  // A volatile connection (Flags 0x4, here with "unsaved" 0x1) only stands in for one activation.
  Exec(
      "mock_of(add_conn('Stand-in', 'i', prio=9)).AddProperty('org.freedesktop.NetworkManager.Settings.Connection', "
      "'Flags', dbus.UInt32(5))");
  Exec(
      "mock_of(add_conn('Saved', 'j', prio=-2)).AddProperty('org.freedesktop.NetworkManager.Settings.Connection', "
      "'Flags', dbus.UInt32(0))");
  // One removed between the list and the read of its settings: NetworkManager no longer knows the object.
  Exec(
      "mock_of(add_conn('Gone', 'k')).AddMethod('org.freedesktop.NetworkManager.Settings.Connection', 'GetSettings', "
      "'', 'a{sa{sv}}', \"raise dbus.exceptions.DBusException('No such interface', "
      "name='org.freedesktop.DBus.Error.UnknownMethod')\")");
  EXPECT_EQ(Names(), "Favourite,Recent,Alpha,Beta,Old,This adapter,Saved");

  std::vector<NmProfile> profiles;
  ASSERT_EQ(client_.Profiles(kIfname, profiles), 0u);
  EXPECT_EQ(profiles[0].Ssid, Bytes("b"));
  EXPECT_EQ(profiles[0].Priority, 5);
  EXPECT_EQ(profiles[0].Timestamp, 10u);
  EXPECT_FALSE(profiles[0].Uuid.empty());
}

TEST_F(NmMock, DeleteRemovesOnlyTheNamedProfile) {
  Exec("add_conn('Home', 'HomeNet')");
  Exec("add_conn('Cafe', 'CafeNet')");
  EXPECT_EQ(client_.DeleteProfile(kIfname, "Home"), 0u);
  EXPECT_EQ(Names(), "Cafe");
  EXPECT_EQ(client_.DeleteProfile(kIfname, "Home"), WlanError::kNotFound);
  EXPECT_EQ(client_.DeleteProfile(kIfname, ""), WlanError::kInvalidParameter);
  EXPECT_EQ(Names(), "Cafe");
}

TEST_F(NmMock, RenameKeepsTheOtherSettingsAndTheSecret) {
  Exec("home = add_conn('Home', 'HomeNet', prio=3, psk='s3cret')");
  Exec("add_conn('Cafe', 'CafeNet')");
  EXPECT_EQ(client_.RenameProfile(kIfname, "Home", "Cafe"), WlanError::kAlreadyExists);
  EXPECT_EQ(client_.RenameProfile(kIfname, "Nowhere", "Work"), WlanError::kNotFound);
  EXPECT_EQ(client_.RenameProfile(kIfname, "Home", ""), WlanError::kInvalidParameter);
  EXPECT_EQ(Eval("len(calls(home, 'Update'))"), "0");

  ASSERT_EQ(client_.RenameProfile(kIfname, "Home", "Work"), 0u);
  EXPECT_EQ(Names(), "Work,Cafe");
  EXPECT_EQ(Eval("psk('Work')"), "s3cret");
  EXPECT_EQ(Eval("prio('Work')"), "3");
  // NetworkManager replaces all settings on an update: the update must carry them all, not only the new id.
  Exec("sent = calls(home, 'Update')[0][0]");
  EXPECT_EQ(Eval("bytes(sent['802-11-wireless']['ssid']).decode()"), "HomeNet");
  EXPECT_EQ(Eval("sent['connection']['uuid'] == conn_settings(home)['connection']['uuid']"), "True");
  EXPECT_EQ(Eval("sent['connection']['type']"), "802-11-wireless");
  EXPECT_EQ(Eval("'secrets' in sent.get('802-11-wireless-security', {})"), "False");
}

TEST_F(NmMock, SetPositionMovesOneProfileAndKeepsTheOthersInOrder) {
  for (const char* name : {"A", "B", "C", "D", "E"})
    Exec(std::string("add_conn('") + name + "', 'x', ts=" + std::to_string(600 - name[0]) + ")");
  ASSERT_EQ(Names(), "A,B,C,D,E");
  struct Move {
    const char* Name;
    uint32_t Position;
    const char* Order;
  };
  for (const Move& m : {Move{"D", 0, "D,A,B,C,E"}, Move{"A", 4, "D,B,C,E,A"}, Move{"E", 1, "D,E,B,C,A"},
                        Move{"D", 3, "E,B,C,D,A"}, Move{"C", 2, "E,B,C,D,A"}}) {
    SCOPED_TRACE(std::string(m.Name) + " to " + std::to_string(m.Position));
    EXPECT_EQ(client_.SetProfilePosition(kIfname, m.Name, m.Position), 0u);
    EXPECT_EQ(Names(), m.Order);
  }
  EXPECT_EQ(client_.SetProfilePosition(kIfname, "A", 5), WlanError::kInvalidParameter);
  EXPECT_EQ(client_.SetProfilePosition(kIfname, "Z", 0), WlanError::kNotFound);
  EXPECT_EQ(Names(), "E,B,C,D,A");
}

// NetworkManager takes the access point of an activation only as a hint: what holds the supplicant to one BSS is
// the BSSID in the activated connection. A BSSID therefore activates a volatile copy of the profile that has it.
TEST_F(NmMock, ConnectWithABssidActivatesAVolatileCopyHeldToThatAccessPoint) {
  const std::string manager = std::string("'") + kManager + "'";
  Exec("ap1 = nm.AddAccessPoint(dev, 'ap1', 'HomeNet', '00:11:22:33:44:55', 2, 2412, 54000, 80, 0)");
  Exec("ap2 = nm.AddAccessPoint(dev, 'ap2', 'HomeNet', '00:11:22:33:44:AA', 2, 5180, 54000, 60, 0)");
  Exec("add_conn('Elsewhere', 'HomeNet', prio=9, iface='wlan1')");
  Exec("add_conn('Hotspot', 'HomeNet', prio=8, mode='ap')");
  Exec("home = add_conn('Home', 'HomeNet', psk='secret1')");
  Exec("mock_of(" + manager +
       ").AddMethod('org.freedesktop.NetworkManager', 'AddAndActivateConnection2', "
       "'a{sa{sv}}ooa{sv}', 'ooa{sv}', 'ret = (dbus.ObjectPath(\"/c\"), dbus.ObjectPath(\"/a\"), {})')");
  std::array<uint8_t, 6> bssid = {0x00, 0x11, 0x22, 0x33, 0x44, 0xaa};

  // By SSID (the first profile of it that fits) and by name alike.
  for (bool byName : {false, true}) {
    SCOPED_TRACE(byName ? "by name" : "by SSID");
    Exec("mock_of(" + manager + ").ClearCalls()");
    ASSERT_EQ(
        byName ? client_.ConnectProfile(kIfname, "Home", bssid) : client_.Connect(kIfname, Bytes("HomeNet"), bssid, 1),
        0u);
    Exec("c = calls(" + manager + ", 'AddAndActivateConnection2')[0]");
    EXPECT_EQ(Eval("str(c[0]['connection']['id']), bytes(c[0]['802-11-wireless']['ssid'])"), "('Home', b'HomeNet')");
    EXPECT_EQ(Eval("str(c[0]['connection']['uuid']) != str(conn_settings(home)['connection']['uuid'])"), "True");
    EXPECT_EQ(Eval("[int(b) for b in c[0]['802-11-wireless']['bssid']]"), "[0, 17, 34, 51, 68, 170]");
    // The secret goes along (the template answers GetSecrets with its own layout, which is copied as it came).
    EXPECT_EQ(Eval("str(c[0]['802-11-wireless-security']['secrets']['psk'])"), "secret1");
    EXPECT_EQ(Eval("[str(c[1]), str(c[2]), str(c[3]['persist'])] == [dev, ap2, 'volatile']"), "True");
    EXPECT_EQ(Eval("len(calls(" + manager + ", 'ActivateConnection'))"), "0");
  }
  EXPECT_EQ(Eval("'bssid' in conn_settings(home)['802-11-wireless']"), "False");  // the profile stays as it was

  // Without a BSSID the profile itself is activated and NetworkManager chooses the access point.
  Exec("mock_of(" + manager + ").ClearCalls()");
  ASSERT_EQ(client_.ConnectProfile(kIfname, "Home", std::nullopt), 0u);
  EXPECT_EQ(Eval("[str(a) for a in calls(" + manager + ", 'ActivateConnection')[0]] == [home, dev, '/']"), "True");
  std::string name;
  EXPECT_EQ(client_.ActiveProfileName(kIfname, name), 0u);
  EXPECT_EQ(name, "Home");
  EXPECT_EQ(client_.ConnectProfile(kIfname, "Nowhere", std::nullopt), WlanError::kNotFound);
  EXPECT_EQ(client_.Connect(kIfname, {}, std::nullopt, 1), WlanError::kInvalidParameter);
  EXPECT_EQ(client_.Connect(kIfname, std::vector<uint8_t>(33, 'x'), std::nullopt, 1), WlanError::kInvalidParameter);
}

// A NetworkManager without AddAndActivateConnection2 (before 1.16) gets the access point as the hint it can take.
TEST_F(NmMock, ConnectWithABssidOnAnOldNetworkManagerNamesTheAccessPoint) {
  Exec("ap2 = nm.AddAccessPoint(dev, 'ap2', 'HomeNet', '00:11:22:33:44:AA', 2, 5180, 54000, 60, 0)");
  Exec("home = add_conn('Home', 'HomeNet')");
  std::array<uint8_t, 6> bssid = {0x00, 0x11, 0x22, 0x33, 0x44, 0xaa};
  ASSERT_EQ(client_.Connect(kIfname, Bytes("HomeNet"), bssid, 1), 0u);
  EXPECT_EQ(
      Eval("[str(a) for a in calls('" + std::string(kManager) + "', 'ActivateConnection')[0]] == [home, dev, ap2]"),
      "True");
}

TEST_F(NmMock, ConnectWithoutAProfileAddsOneForTheAccessPoint) {
  Exec("ap = nm.AddAccessPoint(dev, 'cafe', 'CafeNet', '02:00:00:00:00:01', 2, 2437, 54000, 70, 0)");
  Exec("add_conn('Home', 'HomeNet')");
  std::array<uint8_t, 6> bssid = {0x02, 0, 0, 0, 0, 0x01};
  ASSERT_EQ(client_.Connect(kIfname, Bytes("CafeNet"), bssid, 1), 0u);
  Exec("c = calls('" + std::string(kManager) + "', 'AddAndActivateConnection')[0]");
  EXPECT_EQ(Eval("bytes(c[0]['802-11-wireless']['ssid']).decode()"), "CafeNet");
  EXPECT_EQ(Eval("'bssid' in c[0]['802-11-wireless']"), "False");  // the access point pins it, the profile does not
  EXPECT_EQ(Eval("[str(c[1]), str(c[2])] == [dev, ap]"), "True");

  // An access point NetworkManager does not list: the BSSID goes into the new profile.
  Exec("mock_of('" + std::string(kManager) + "').ClearCalls()");
  std::array<uint8_t, 6> unknown = {0x02, 0, 0, 0, 0, 0x09};
  client_.Connect(kIfname, Bytes("Hidden"), unknown, 1);  // the template cannot complete it; the request is what counts
  Exec("c = calls('" + std::string(kManager) + "', 'AddAndActivateConnection')[0]");
  EXPECT_EQ(Eval("[int(b) for b in c[0]['802-11-wireless']['bssid']]"), "[2, 0, 0, 0, 0, 9]");
  EXPECT_EQ(Eval("str(c[2])"), "/");
}

TEST_F(NmMock, DisconnectEndsTheDevicesConnection) {
  Exec(
      "obj(dev).AddMethod('org.freedesktop.NetworkManager.Device', 'Disconnect', '', '', "
      "\"self.Set('org.freedesktop.NetworkManager.Device', 'ActiveConnection', dbus.ObjectPath('/'))\", "
      "dbus_interface='org.freedesktop.DBus.Mock')");
  Exec("ap = nm.AddAccessPoint(dev, 'ap1', 'HomeNet', '00:11:22:33:44:55', 2, 2412, 54000, 80, 0)");
  Exec("add_conn('Home', 'HomeNet')");
  ASSERT_EQ(client_.Connect(kIfname, Bytes("HomeNet"), std::nullopt, 3), 0u);
  ASSERT_EQ(client_.Disconnect(kIfname), 0u);
  EXPECT_EQ(Eval("len(calls(dev, 'Disconnect'))"), "1");
  std::string name = "stale";
  EXPECT_EQ(client_.ActiveProfileName(kIfname, name), 0u);
  EXPECT_EQ(name, "");

  // Disconnecting a device that is not connected is no failure.
  Exec(
      "obj(dev).AddMethod('org.freedesktop.NetworkManager.Device', 'Disconnect', '', '', "
      "\"raise dbus.exceptions.DBusException('not active', name='org.freedesktop.NetworkManager.Device.NotActive')\", "
      "dbus_interface='org.freedesktop.DBus.Mock')");
  EXPECT_EQ(client_.Disconnect(kIfname), 0u);
}

TEST_F(NmMock, ErrorsOfNetworkManagerBecomeServiceCodes) {
  // A refusal by the system's policy.
  Exec("home = add_conn('Home', 'HomeNet')");
  Exec(
      "mock_of(home).AddMethod('org.freedesktop.NetworkManager.Settings.Connection', 'Delete', '', '', "
      "\"raise dbus.exceptions.DBusException('no', name='org.freedesktop.NetworkManager.PermissionDenied')\")");
  EXPECT_EQ(client_.DeleteProfile(kIfname, "Home"), WlanError::kAccessDenied);

  // The wireless switch.
  EXPECT_EQ(client_.SetWirelessEnabled(false), 0u);
  EXPECT_EQ(Eval("bool(prop('" + std::string(kManager) + "', 'org.freedesktop.NetworkManager', 'WirelessEnabled'))"),
            "False");

  // A NetworkManager that does not answer holds the caller for the call's timeout only.
  Exec(
      "mock_of(home).AddMethod('org.freedesktop.NetworkManager.Settings.Connection', 'GetSettings', '', "
      "'a{sa{sv}}', 'import time; time.sleep(8)')");
  auto start = std::chrono::steady_clock::now();
  std::vector<NmProfile> profiles;
  EXPECT_EQ(client_.Profiles(kIfname, profiles), WlanError::kTimeout);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 6000ms);  // the call's timeout is 3 s
}

TEST_F(NmMock, WithoutNetworkManagerEveryOperationSaysServiceNotActive) {
  Exec("stop_nm()");
  std::vector<NmProfile> profiles;
  std::string name;
  EXPECT_EQ(client_.Profiles(kIfname, profiles), WlanError::kServiceNotActive);
  EXPECT_EQ(client_.DeleteProfile(kIfname, "Home"), WlanError::kServiceNotActive);
  EXPECT_EQ(client_.Connect(kIfname, Bytes("HomeNet"), std::nullopt, 1), WlanError::kServiceNotActive);
  EXPECT_EQ(client_.Disconnect(kIfname), WlanError::kServiceNotActive);
  EXPECT_EQ(client_.ActiveProfileName(kIfname, name), WlanError::kServiceNotActive);
  EXPECT_EQ(client_.SetWirelessEnabled(true), WlanError::kServiceNotActive);

  // No system bus at all.
  ::setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/skimlet-bus", 1);
  NmClient fresh;
  EXPECT_EQ(fresh.Profiles(kIfname, profiles), WlanError::kServiceNotActive);
}

TEST_F(NmMock, EditStartsTheConnectionEditorOnTheProfile) {
  Exec("home = add_conn('Home', 'HomeNet')");
  std::string uuid = Eval("conn_settings(home)['connection']['uuid']");
  fs::path dir = fs::temp_directory_path() / ("skimlet-editor-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  fs::path editor = dir / "nm-connection-editor", out = dir / "args";
  std::ofstream(editor) << "#!/bin/sh\necho \"$@\" > " << out.string() << ".tmp && mv " << out.string() << ".tmp "
                        << out.string() << "\n";
  fs::permissions(editor, fs::perms::owner_all);

  EXPECT_EQ(client_.EditProfile(kIfname, "Home", "/nonexistent"), WlanError::kFileNotFound);
  EXPECT_EQ(client_.EditProfile(kIfname, "Nowhere", dir.string()), WlanError::kNotFound);
  ASSERT_EQ(client_.EditProfile(kIfname, "Home", "/nonexistent:" + dir.string()), 0u);
  std::string args;
  for (int i = 0; i < 100 && args.empty(); ++i) {
    std::this_thread::sleep_for(50ms);
    std::ifstream in(out);
    std::getline(in, args);
  }
  EXPECT_EQ(args, "--edit=" + uuid);
  fs::remove_all(dir);
}

}  // namespace
}  // namespace skimlet::linuxwifi
