// Window starts for tests: the settings in a folder of the test, the simulated radio scanning fast, or a fake
// service with one interface that a test fills.
#pragma once

#include <QString>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "backends/sim/sim_service.h"
#include "core/settings/folders.h"
#include "support/fake_wlan_service.h"
#include "ui/window/form_stored.h"

namespace skimlet::test {

// Settings in ConfigFolder, the simulated radio scanning every 20 to 50 ms.
inline TStartEnvironment SimWindowEnvironment(const QString& configFolder) {
  TStartEnvironment env;
  const std::string config = configFolder.toStdString();
  env.Folders = ResolveProgramFolders(ExecutableFolder(), {}, [config](const char* name) -> std::optional<std::string> {
    if (std::string_view(name) == "XDG_CONFIG_HOME") return config;
    return std::nullopt;
  });
  env.CreateService = [](const TProgramOptions&, const TProgramFolders& folders) {
    sim::SimOptions so;
    so.MinScanSeconds = 0.02;
    so.MaxScanSeconds = 0.05;
    std::string error;
    TWindowService made{sim::CreateSimulatedService("sim", folders.ProgramFolder.string(), so, error), true};
    EXPECT_TRUE(made.Service) << error;
    return made;
  };
  return env;
}

// Env with its service replaced by a fake with one connected interface "wlan0"; Setup fills its answers. The
// window owns the fake; Fake points to it while the window lives.
inline TStartEnvironment WithFakeService(TStartEnvironment env, std::function<void(FakeWlanService&)> setup,
                                         FakeWlanService*& fake) {
  env.CreateService = [setup, &fake](const TProgramOptions&, const TProgramFolders&) {
    auto service = std::make_unique<FakeWlanService>();
    WLAN_INTERFACE_INFO_LIST list;
    list.InterfaceInfo.push_back({WLAN_GUID{1}, "wlan0", kInterfaceConnected});
    service->Interfaces = {0, list.Encode()};
    setup(*service);
    fake = service.get();
    return TWindowService{std::move(service), false};
  };
  return env;
}

}  // namespace skimlet::test
