#include "backends/linux/nm_client.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <thread>

#ifdef SKIMLET_HAVE_SDBUS
#include <systemd/sd-bus.h>
#endif

extern char** environ;

namespace skimlet::linuxwifi {

namespace {

// True when A sorts before B if they had the priorities Pa and Pb.
bool Before(const NmProfile& a, int32_t pa, const NmProfile& b, int32_t pb) {
  if (pa != pb) return pa > pb;
  if (a.Timestamp != b.Timestamp) return a.Timestamp > b.Timestamp;
  if (a.Id != b.Id) return a.Id < b.Id;
  return a.Uuid < b.Uuid;
}

bool InRange(const std::vector<int32_t>& v) {
  return std::all_of(v.begin(), v.end(), [](int32_t p) { return p >= kNmMinPriority && p <= kNmMaxPriority; });
}

size_t Changes(const std::vector<int32_t>& a, const std::vector<int32_t>& b) {
  size_t n = 0;
  for (size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
  return n;
}

// The path of Name in the directories of SearchPath, or empty.
std::string FindProgram(const std::string& name, const std::string& searchPath) {
  size_t start = 0;
  while (start <= searchPath.size()) {
    size_t end = searchPath.find(':', start);
    if (end == std::string::npos) end = searchPath.size();
    std::string dir = searchPath.substr(start, end - start);
    if (!dir.empty()) {
      std::string path = dir + "/" + name;
      struct stat st {};
      if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0) return path;
    }
    start = end + 1;
  }
  return {};
}

}  // namespace

bool NmProfileBefore(const NmProfile& a, const NmProfile& b) { return Before(a, a.Priority, b, b.Priority); }

std::optional<std::vector<int32_t>> PlanProfilePosition(const std::vector<NmProfile>& profiles, size_t from,
                                                        size_t to) {
  const size_t n = profiles.size();
  if (from >= n || to >= n) return std::nullopt;
  // The wanted order, and the priorities as they stand in it.
  std::vector<size_t> order(n);
  for (size_t i = 0; i < n; ++i) order[i] = i;
  order.erase(order.begin() + static_cast<std::ptrdiff_t>(from));
  order.insert(order.begin() + static_cast<std::ptrdiff_t>(to), from);
  std::vector<int32_t> now(n);
  for (size_t i = 0; i < n; ++i) now[i] = profiles[order[i]].Priority;
  auto above = [&](const std::vector<int32_t>& p, size_t i, size_t j) {
    return Before(profiles[order[i]], p[i], profiles[order[j]], p[j]);
  };
  auto sorted = [&](const std::vector<int32_t>& p) {
    for (size_t i = 0; i + 1 < n; ++i)
      if (!above(p, i, i + 1)) return false;
    return InRange(p);
  };
  const size_t pos = to;
  auto fits = [&](const std::vector<int32_t>& p) {
    return (pos == 0 || above(p, pos - 1, pos)) && (pos + 1 >= n || above(p, pos, pos + 1));
  };

  std::optional<std::vector<int32_t>> best;
  auto offer = [&](std::vector<int32_t> p) {
    if (sorted(p) && (!best || Changes(p, now) < Changes(*best, now))) best = std::move(p);
  };
  // The moved profile alone: its own priority, else one strictly between its new neighbours' (so that later
  // activations, which change timestamps, do not move it again).
  if (fits(now)) {
    offer(now);
  } else {
    std::vector<int32_t> p = now;
    int64_t high = pos == 0 ? int64_t{kNmMaxPriority} + 1 : now[pos - 1];
    int64_t low = pos + 1 >= n ? int64_t{kNmMinPriority} - 1 : now[pos + 1];
    if (high - low >= 2) {
      p[pos] = static_cast<int32_t>(pos + 1 >= n ? high - 1 : low + 1);
      offer(p);
    }
  }
  const bool alone = best.has_value();
  // Raise the moved profile above the one below it, and those above it as far as they no longer come first.
  if (!alone && pos + 1 < n) {
    std::vector<int32_t> p = now;
    p[pos] = now[pos + 1] + 1;
    for (size_t i = pos; i-- > 0;) {
      if (above(p, i, i + 1)) break;
      p[i] = p[i + 1] + 1;
    }
    offer(p);
  }
  // Or lower it below the one above it, and those below it as far as they no longer come after.
  if (!alone && pos > 0) {
    std::vector<int32_t> p = now;
    p[pos] = now[pos - 1] - 1;
    for (size_t i = pos + 1; i < n; ++i) {
      if (above(p, i - 1, i)) break;
      p[i] = p[i - 1] - 1;
    }
    offer(p);
  }
  // Last resort: number them all.
  if (!best && n <= static_cast<size_t>(kNmMaxPriority - kNmMinPriority + 1)) {
    std::vector<int32_t> p(n);
    const auto top = static_cast<int32_t>((n - 1) / 2);
    for (size_t i = 0; i < n; ++i) p[i] = top - static_cast<int32_t>(i);
    offer(p);
  }
  if (!best) return std::nullopt;
  // Back in the list's order.
  std::vector<int32_t> result(n);
  for (size_t i = 0; i < n; ++i) result[order[i]] = (*best)[i];
  return result;
}

#ifdef SKIMLET_HAVE_SDBUS

namespace {

constexpr const char* kNmService = "org.freedesktop.NetworkManager";
constexpr const char* kNmPath = "/org/freedesktop/NetworkManager";
constexpr const char* kNmInterface = "org.freedesktop.NetworkManager";
constexpr const char* kSettingsPath = "/org/freedesktop/NetworkManager/Settings";
constexpr const char* kSettingsInterface = "org.freedesktop.NetworkManager.Settings";
constexpr const char* kConnectionInterface = "org.freedesktop.NetworkManager.Settings.Connection";
constexpr const char* kDeviceInterface = "org.freedesktop.NetworkManager.Device";
constexpr const char* kWirelessInterface = "org.freedesktop.NetworkManager.Device.Wireless";
constexpr const char* kAccessPointInterface = "org.freedesktop.NetworkManager.AccessPoint";
constexpr const char* kActiveInterface = "org.freedesktop.NetworkManager.Connection.Active";
constexpr const char* kPropertiesInterface = "org.freedesktop.DBus.Properties";
constexpr const char* kWirelessType = "802-11-wireless";

struct BusUnref {
  void operator()(sd_bus* b) const { sd_bus_flush_close_unref(b); }
};
using Bus = std::unique_ptr<sd_bus, BusUnref>;

struct MessageUnref {
  void operator()(sd_bus_message* m) const { sd_bus_message_unref(m); }
};
using Message = std::unique_ptr<sd_bus_message, MessageUnref>;

class BusError {
 public:
  BusError() = default;
  BusError(const BusError&) = delete;
  BusError& operator=(const BusError&) = delete;
  ~BusError() { sd_bus_error_free(&error_); }
  sd_bus_error* Get() { return &error_; }
  bool Set() const { return sd_bus_error_is_set(&error_); }
  std::string_view Name() const { return error_.name ? error_.name : ""; }

 private:
  sd_bus_error error_ = SD_BUS_ERROR_NULL;
};

bool EndsWith(std::string_view s, std::string_view tail) {
  return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

WlanResult FromErrno(int rc) {
  switch (-rc) {
    case ETIMEDOUT: return WlanError::kTimeout;
    case ENOENT:
    case ECONNREFUSED:
    case ECONNRESET:
    case ENOTCONN:
    case EPIPE:
    case ESHUTDOWN: return WlanError::kServiceNotActive;
    case EACCES:
    case EPERM: return WlanError::kAccessDenied;
    case ENOMEM: return WlanError::kNotEnoughMemory;
    case EINVAL: return WlanError::kInvalidParameter;
    default: return 1117;  // an input/output error, as the kernel paths report theirs
  }
}

WlanResult FromBusError(int rc, const BusError& error) {
  if (!error.Set()) return FromErrno(rc);
  std::string_view n = error.Name();
  if (n == SD_BUS_ERROR_SERVICE_UNKNOWN || n == SD_BUS_ERROR_NAME_HAS_NO_OWNER || n == SD_BUS_ERROR_DISCONNECTED)
    return WlanError::kServiceNotActive;
  if (n == SD_BUS_ERROR_NO_REPLY || n == SD_BUS_ERROR_TIMEOUT) return WlanError::kTimeout;
  if (n == SD_BUS_ERROR_ACCESS_DENIED || n == SD_BUS_ERROR_AUTH_FAILED ||
      n == SD_BUS_ERROR_INTERACTIVE_AUTHORIZATION_REQUIRED || EndsWith(n, ".PermissionDenied") ||
      EndsWith(n, ".NotAuthorized"))
    return WlanError::kAccessDenied;
  if (n == SD_BUS_ERROR_INVALID_ARGS || EndsWith(n, ".InvalidArguments") || EndsWith(n, ".InvalidConnection") ||
      EndsWith(n, ".InvalidProperty") || EndsWith(n, ".InvalidSetting"))
    return WlanError::kInvalidParameter;
  if (n == SD_BUS_ERROR_UNKNOWN_OBJECT || EndsWith(n, ".UnknownConnection") || EndsWith(n, ".UnknownDevice"))
    return WlanError::kNotFound;
  if (n == SD_BUS_ERROR_UNKNOWN_METHOD || n == SD_BUS_ERROR_NOT_SUPPORTED) return WlanError::kNotSupported;
  return 1117;
}

// "AA:BB:CC:DD:EE:FF" and "aa:bb:..." name the same address.
bool SameHardwareAddress(std::string_view text, const std::array<uint8_t, 6>& mac) {
  char want[18];
  std::snprintf(want, sizeof want, "%02x:%02x:%02x:%02x:%02x:%02x", mac[0], mac[1], mac[2], mac[3], mac[4], mac[5]);
  if (text.size() != 17) return false;
  for (size_t i = 0; i < 17; ++i)
    if (std::tolower(static_cast<unsigned char>(text[i])) != want[i]) return false;
  return true;
}

bool ModeFits(const std::string& mode, uint32_t bssType) {
  bool adhoc = mode == "adhoc";
  bool infrastructure = mode.empty() || mode == "infrastructure";
  return bssType == 2 ? adhoc : bssType == 1 ? infrastructure : adhoc || infrastructure;
}

// A value written into a connection's settings in place of what it held.
struct SettingValue {
  std::string Setting;
  std::string Key;
  std::optional<std::string> Text;            // "s", else
  int32_t Number = 0;                         // "i", unless
  std::optional<std::vector<uint8_t>> Bytes;  // "ay"
};

int AppendValue(sd_bus_message* m, const SettingValue& v) {
  int r = sd_bus_message_open_container(m, 'e', "sv");
  if (r >= 0) r = sd_bus_message_append(m, "s", v.Key.c_str());
  if (r >= 0 && v.Bytes) {
    r = sd_bus_message_open_container(m, 'v', "ay");
    if (r >= 0) r = sd_bus_message_append_array(m, 'y', v.Bytes->data(), v.Bytes->size());
    if (r >= 0) r = sd_bus_message_close_container(m);
  } else if (r >= 0) {
    r = v.Text ? sd_bus_message_append(m, "v", "s", v.Text->c_str()) : sd_bus_message_append(m, "v", "i", v.Number);
  }
  if (r >= 0) r = sd_bus_message_close_container(m);
  return r;
}

// Appends the values Secrets (a GetSecrets answer, a{sa{sv}}) holds for Setting to the open {sv} array of Dst.
int AppendSecrets(sd_bus_message* dst, sd_bus_message* secrets, std::string_view setting) {
  int r = sd_bus_message_rewind(secrets, 1);
  if (r >= 0) r = sd_bus_message_enter_container(secrets, 'a', "{sa{sv}}");
  while (r >= 0 && (r = sd_bus_message_enter_container(secrets, 'e', "sa{sv}")) > 0) {
    const char* name = nullptr;
    if ((r = sd_bus_message_read(secrets, "s", &name)) < 0) break;
    if (setting != name) {
      r = sd_bus_message_skip(secrets, "a{sv}");
    } else {
      if ((r = sd_bus_message_enter_container(secrets, 'a', "{sv}")) < 0) break;
      while ((r = sd_bus_message_enter_container(secrets, 'e', "sv")) > 0) {
        const char* key = nullptr;
        r = sd_bus_message_read(secrets, "s", &key);
        if (r >= 0) r = sd_bus_message_open_container(dst, 'e', "sv");
        if (r >= 0) r = sd_bus_message_append(dst, "s", key);
        if (r >= 0) r = sd_bus_message_copy(dst, secrets, 0);
        if (r >= 0) r = sd_bus_message_close_container(dst);
        if (r >= 0) r = sd_bus_message_exit_container(secrets);
        if (r < 0) break;
      }
      if (r >= 0) r = sd_bus_message_exit_container(secrets);
    }
    if (r >= 0) r = sd_bus_message_exit_container(secrets);
  }
  return r;
}

// Copies a connection's settings Src (a{sa{sv}}, as GetSettings hands them out) into Dst, Values written in place
// of (or in addition to) theirs and the secrets of each GetSecrets answer in Secrets added to their setting.
int CopySettings(sd_bus_message* src, sd_bus_message* dst, const std::vector<SettingValue>& values,
                 const std::vector<sd_bus_message*>& secrets) {
  std::vector<bool> written(values.size(), false);
  int r = sd_bus_message_enter_container(src, 'a', "{sa{sv}}");
  if (r >= 0) r = sd_bus_message_open_container(dst, 'a', "{sa{sv}}");
  while (r >= 0 && (r = sd_bus_message_enter_container(src, 'e', "sa{sv}")) > 0) {
    const char* setting = nullptr;
    if ((r = sd_bus_message_read(src, "s", &setting)) < 0) break;
    std::string name = setting;
    if ((r = sd_bus_message_open_container(dst, 'e', "sa{sv}")) < 0) break;
    if ((r = sd_bus_message_append(dst, "s", name.c_str())) < 0) break;
    if ((r = sd_bus_message_enter_container(src, 'a', "{sv}")) < 0) break;
    if ((r = sd_bus_message_open_container(dst, 'a', "{sv}")) < 0) break;
    while ((r = sd_bus_message_enter_container(src, 'e', "sv")) > 0) {
      const char* key = nullptr;
      if ((r = sd_bus_message_read(src, "s", &key)) < 0) break;
      auto it = std::find_if(values.begin(), values.end(),
                             [&](const SettingValue& v) { return v.Setting == name && v.Key == key; });
      if (it != values.end()) {
        r = sd_bus_message_skip(src, "v");
      } else {
        r = sd_bus_message_open_container(dst, 'e', "sv");
        if (r >= 0) r = sd_bus_message_append(dst, "s", key);
        if (r >= 0) r = sd_bus_message_copy(dst, src, 0);
        if (r >= 0) r = sd_bus_message_close_container(dst);
      }
      if (r >= 0) r = sd_bus_message_exit_container(src);
      if (r < 0) break;
    }
    if (r < 0) break;
    for (size_t i = 0; i < values.size() && r >= 0; ++i)
      if (values[i].Setting == name) {
        r = AppendValue(dst, values[i]);
        written[i] = true;
      }
    for (size_t i = 0; i < secrets.size() && r >= 0; ++i) r = AppendSecrets(dst, secrets[i], name);
    if (r >= 0) r = sd_bus_message_close_container(dst);
    if (r >= 0) r = sd_bus_message_exit_container(src);
    if (r >= 0) r = sd_bus_message_close_container(dst);
    if (r >= 0) r = sd_bus_message_exit_container(src);
  }
  // Settings the connection did not have yet.
  for (size_t i = 0; i < values.size() && r >= 0; ++i) {
    if (written[i]) continue;
    r = sd_bus_message_open_container(dst, 'e', "sa{sv}");
    if (r >= 0) r = sd_bus_message_append(dst, "s", values[i].Setting.c_str());
    if (r >= 0) r = sd_bus_message_open_container(dst, 'a', "{sv}");
    for (size_t j = i; j < values.size() && r >= 0; ++j)
      if (!written[j] && values[j].Setting == values[i].Setting) {
        r = AppendValue(dst, values[j]);
        written[j] = true;
      }
    if (r >= 0) r = sd_bus_message_close_container(dst);
    if (r >= 0) r = sd_bus_message_close_container(dst);
  }
  if (r >= 0) r = sd_bus_message_close_container(dst);
  return r;
}

// A random (version 4) UUID in its text form.
std::string NewUuid() {
  std::random_device random;
  std::array<uint8_t, 16> b{};
  for (size_t i = 0; i < b.size(); i += 4) {
    uint32_t v = random();
    std::memcpy(b.data() + i, &v, 4);
  }
  b[6] = static_cast<uint8_t>((b[6] & 0x0f) | 0x40);
  b[8] = static_cast<uint8_t>((b[8] & 0x3f) | 0x80);
  char text[37];
  std::snprintf(text, sizeof text, "%02x%02x%02x%02x-%02x%02x-%02x%02x-%02x%02x-%02x%02x%02x%02x%02x%02x", b[0], b[1],
                b[2], b[3], b[4], b[5], b[6], b[7], b[8], b[9], b[10], b[11], b[12], b[13], b[14], b[15]);
  return text;
}

// NMSettingsConnectionFlags: a profile that lives only until its connection ends.
constexpr uint32_t kVolatileConnection = 0x4;

// Reads one variant into the profile field it belongs to; skips every other value.
int ReadSettingValue(sd_bus_message* m, std::string_view setting, std::string_view key, NmProfile& p,
                     std::string& type) {
  char kind = 0;
  const char* contents = nullptr;
  int r = sd_bus_message_peek_type(m, &kind, &contents);
  if (r <= 0 || kind != 'v' || !contents) return r < 0 ? r : -EBADMSG;
  std::string_view sig = contents;
  std::string* text = nullptr;
  if (setting == "connection") {
    if (key == "id") text = &p.Id;
    else if (key == "uuid") text = &p.Uuid;
    else if (key == "interface-name") text = &p.InterfaceName;
    else if (key == "type") text = &type;
  } else if (setting == kWirelessType && key == "mode") {
    text = &p.Mode;
  }
  if (text && sig == "s") {
    const char* s = nullptr;
    r = sd_bus_message_read(m, "v", "s", &s);
    if (r >= 0) *text = s ? s : "";
    return r;
  }
  if (setting == "connection" && key == "autoconnect-priority" && sig == "i")
    return sd_bus_message_read(m, "v", "i", &p.Priority);
  if (setting == "connection" && key == "timestamp" && sig == "t")
    return sd_bus_message_read(m, "v", "t", &p.Timestamp);
  if (setting == kWirelessType && key == "ssid" && sig == "ay") {
    r = sd_bus_message_enter_container(m, 'v', "ay");
    const void* data = nullptr;
    size_t size = 0;
    if (r >= 0) r = sd_bus_message_read_array(m, 'y', &data, &size);
    if (r >= 0) {
      auto bytes = static_cast<const uint8_t*>(data);
      p.Ssid.assign(bytes, bytes + size);
      r = sd_bus_message_exit_container(m);
    }
    return r;
  }
  return sd_bus_message_skip(m, "v");
}

// A connection's settings (a{sa{sv}}) into a profile; Type receives connection.type.
int ReadProfile(sd_bus_message* m, NmProfile& p, std::string& type) {
  int r = sd_bus_message_enter_container(m, 'a', "{sa{sv}}");
  if (r < 0) return r;
  while ((r = sd_bus_message_enter_container(m, 'e', "sa{sv}")) > 0) {
    const char* setting = nullptr;
    if ((r = sd_bus_message_read(m, "s", &setting)) < 0) return r;
    if ((r = sd_bus_message_enter_container(m, 'a', "{sv}")) < 0) return r;
    while ((r = sd_bus_message_enter_container(m, 'e', "sv")) > 0) {
      const char* key = nullptr;
      if ((r = sd_bus_message_read(m, "s", &key)) < 0) return r;
      if ((r = ReadSettingValue(m, setting, key, p, type)) < 0) return r;
      if ((r = sd_bus_message_exit_container(m)) < 0) return r;
    }
    if (r < 0) return r;
    if ((r = sd_bus_message_exit_container(m)) < 0) return r;
    if ((r = sd_bus_message_exit_container(m)) < 0) return r;
  }
  if (r < 0) return r;
  return sd_bus_message_exit_container(m);
}

}  // namespace

struct NmClient::Impl {
  Bus bus;
  std::string failure;  // what the last failed call said

  WlanResult Open() {
    if (bus) return WlanError::kSuccess;
    sd_bus* b = nullptr;
    int r = sd_bus_open_system(&b);  // honours DBUS_SYSTEM_BUS_ADDRESS
    if (r < 0) {
      failure = std::string("no system bus: ") + std::strerror(-r);
      return WlanError::kServiceNotActive;
    }
    bus.reset(b);
    sd_bus_set_method_call_timeout(b, kCallTimeoutUsec);
    return WlanError::kSuccess;
  }

  WlanResult NewCall(const char* path, const char* interface, const char* method, Message& call) {
    if (WlanResult r = Open(); r != 0) return r;
    sd_bus_message* m = nullptr;
    int r = sd_bus_message_new_method_call(bus.get(), &m, kNmService, path, interface, method);
    if (r < 0) return FromErrno(r);
    call.reset(m);
    // NetworkManager is never started by a call: when it is not running, the call fails at once.
    sd_bus_message_set_auto_start(m, 0);
    return WlanError::kSuccess;
  }

  WlanResult Send(Message& call, Message& reply, BusError* error = nullptr) {
    BusError local;
    BusError& e = error ? *error : local;
    sd_bus_message* out = nullptr;
    int r = sd_bus_call(bus.get(), call.get(), kCallTimeoutUsec, e.Get(), &out);
    reply.reset(out);
    if (r >= 0) return WlanError::kSuccess;
    failure = e.Get()->message ? e.Get()->message : std::strerror(-r);
    if (!e.Set() && (r == -ECONNRESET || r == -ENOTCONN || r == -EPIPE || r == -ESHUTDOWN))
      bus.reset();  // reopen next time
    return FromBusError(r, e);
  }

  // A call whose arguments Fill appends.
  WlanResult Call(const char* path, const char* interface, const char* method, Message& reply,
                  const std::function<int(sd_bus_message*)>& fill = {}, BusError* error = nullptr) {
    Message call;
    if (WlanResult r = NewCall(path, interface, method, call); r != 0) return r;
    if (fill) {
      if (int r = fill(call.get()); r < 0) return FromErrno(r);
    }
    return Send(call, reply, error);
  }

  // A property's value; Reply is left inside its variant of type Signature.
  WlanResult Property(const char* path, const char* interface, const char* name, const char* signature,
                      Message& reply) {
    WlanResult res = Call(path, kPropertiesInterface, "Get", reply,
                          [&](sd_bus_message* m) { return sd_bus_message_append(m, "ss", interface, name); });
    if (res != 0) return res;
    if (sd_bus_message_enter_container(reply.get(), 'v', signature) <= 0) return 1117;
    return WlanError::kSuccess;
  }

  WlanResult StringProperty(const std::string& path, const char* interface, const char* name, char type,
                            std::string& value) {
    Message reply;
    const char signature[2] = {type, 0};
    if (WlanResult r = Property(path.c_str(), interface, name, signature, reply); r != 0) return r;
    const char* s = nullptr;
    if (sd_bus_message_read_basic(reply.get(), type, &s) < 0) return 1117;
    value = s ? s : "";
    return WlanError::kSuccess;
  }

  WlanResult Device(const std::string& ifname, std::string& path) {
    Message reply;
    WlanResult r = Call(kNmPath, kNmInterface, "GetDeviceByIpIface", reply,
                        [&](sd_bus_message* m) { return sd_bus_message_append(m, "s", ifname.c_str()); });
    if (r != 0) return r;
    const char* p = nullptr;
    if (sd_bus_message_read(reply.get(), "o", &p) < 0 || !p) return 1117;
    path = p;
    return WlanError::kSuccess;
  }

  WlanResult Profiles(const std::string& ifname, std::vector<NmProfile>& out) {
    out.clear();
    Message list;
    if (WlanResult r = Call(kSettingsPath, kSettingsInterface, "ListConnections", list); r != 0) return r;
    std::vector<std::string> paths;
    if (sd_bus_message_enter_container(list.get(), 'a', "o") < 0) return 1117;
    const char* p = nullptr;
    int rc;
    while ((rc = sd_bus_message_read(list.get(), "o", &p)) > 0) paths.emplace_back(p);
    if (rc < 0) return 1117;
    for (const auto& path : paths) {
      Message settings;
      WlanResult r = Call(path.c_str(), kConnectionInterface, "GetSettings", settings);
      // One removed meanwhile (NetworkManager answers for an object it has dropped that it has no such
      // interface), or one this user may not see, is not a profile here.
      if (r == WlanError::kNotFound || r == WlanError::kNotSupported || r == WlanError::kAccessDenied) continue;
      if (r != 0) return r;
      NmProfile profile;
      std::string type;
      if (ReadProfile(settings.get(), profile, type) < 0) continue;  // malformed settings: left out
      if (type != kWirelessType || profile.Id.empty()) continue;
      if (!profile.InterfaceName.empty() && profile.InterfaceName != ifname) continue;
      // A volatile connection is a stand-in made for one activation (see ActivatePinned), not a stored profile.
      // NetworkManager removes it as its connection ends, so it may be gone by now; a NetworkManager without
      // the property (before 1.12) has none.
      Message flags;
      uint32_t f = 0;
      r = Property(path.c_str(), kConnectionInterface, "Flags", "u", flags);
      if (r == WlanError::kNotFound || r == WlanError::kNotSupported) continue;
      if (r == 0 && sd_bus_message_read_basic(flags.get(), 'u', &f) >= 0 && (f & kVolatileConnection)) continue;
      profile.Path = path;
      out.push_back(std::move(profile));
    }
    std::stable_sort(out.begin(), out.end(), NmProfileBefore);
    return WlanError::kSuccess;
  }

  static const NmProfile* Find(const std::vector<NmProfile>& profiles, std::string_view name) {
    for (const auto& p : profiles)
      if (p.Id == name) return &p;
    return nullptr;
  }

  // Update with the connection's own settings, Values written in place of (or in addition to) theirs. The
  // settings NetworkManager hands out carry no secrets, and an update without secrets keeps the stored ones.
  WlanResult Rewrite(const std::string& path, const std::vector<SettingValue>& values) {
    Message settings;
    if (WlanResult r = Call(path.c_str(), kConnectionInterface, "GetSettings", settings); r != 0) return r;
    Message update;
    if (WlanResult r = NewCall(path.c_str(), kConnectionInterface, "Update", update); r != 0) return r;
    int r = CopySettings(settings.get(), update.get(), values, {});
    if (r < 0) return 1117;  // settings that cannot be read back as they were written: nothing is sent
    Message reply;
    return Send(update, reply);
  }

  // The device's access point with this BSSID, or "/".
  std::string AccessPoint(const std::string& device, const std::optional<std::array<uint8_t, 6>>& bssid) {
    if (!bssid) return "/";
    Message reply;
    if (Property(device.c_str(), kWirelessInterface, "AccessPoints", "ao", reply) != 0) return "/";
    std::vector<std::string> aps;
    if (sd_bus_message_enter_container(reply.get(), 'a', "o") <= 0) return "/";
    const char* p = nullptr;
    while (sd_bus_message_read(reply.get(), "o", &p) > 0) aps.emplace_back(p);
    for (const auto& ap : aps) {
      std::string address;
      if (StringProperty(ap, kAccessPointInterface, "HwAddress", 's', address) == 0 &&
          SameHardwareAddress(address, *bssid))
        return ap;
    }
    return "/";
  }

  WlanResult Activate(const std::string& connection, const std::string& device, const std::string& ap) {
    Message reply;
    return Call(kNmPath, kNmInterface, "ActivateConnection", reply, [&](sd_bus_message* m) {
      return sd_bus_message_append(m, "ooo", connection.c_str(), device.c_str(), ap.c_str());
    });
  }

  // Activates the profile on the access point with Bssid. NetworkManager takes the access point of an activation
  // only as a hint: the supplicant still joins whichever BSS of the SSID it likes best. What holds it to one BSS
  // is 802-11-wireless.bssid, so a volatile copy of the profile with that BSSID (and a UUID of its own) is
  // activated; NetworkManager drops the copy when its connection ends, and the profile stays as it was. The copy
  // carries the profile's secrets where this user may read them (else NetworkManager asks the user's agent, as
  // for the profile). A NetworkManager without AddAndActivateConnection2 (before 1.16) gets the hint.
  WlanResult ActivatePinned(const NmProfile& profile, const std::string& device, const std::string& ap,
                            const std::array<uint8_t, 6>& bssid) {
    Message settings;
    if (WlanResult r = Call(profile.Path.c_str(), kConnectionInterface, "GetSettings", settings); r != 0) return r;
    std::vector<Message> secrets;
    std::vector<sd_bus_message*> secretMessages;
    for (const char* setting : {"802-11-wireless-security", "802-1x"}) {
      Message answer;
      if (Call(profile.Path.c_str(), kConnectionInterface, "GetSecrets", answer,
               [&](sd_bus_message* m) { return sd_bus_message_append(m, "s", setting); }) == 0) {
        secretMessages.push_back(answer.get());
        secrets.push_back(std::move(answer));
      }
    }
    Message call;
    if (WlanResult r = NewCall(kNmPath, kNmInterface, "AddAndActivateConnection2", call); r != 0) return r;
    const std::vector<SettingValue> values = {
        {"connection", "uuid", NewUuid(), 0, std::nullopt},
        {kWirelessType, "bssid", std::nullopt, 0, std::vector<uint8_t>(bssid.begin(), bssid.end())}};
    int r = CopySettings(settings.get(), call.get(), values, secretMessages);
    if (r >= 0) r = sd_bus_message_append(call.get(), "oo", device.c_str(), ap.c_str());
    if (r >= 0) r = sd_bus_message_append(call.get(), "a{sv}", 1, "persist", "s", "volatile");
    if (r < 0) return 1117;
    Message reply;
    BusError error;
    WlanResult res = Send(call, reply, &error);
    if (res == WlanError::kNotSupported && error.Name() == SD_BUS_ERROR_UNKNOWN_METHOD)
      return Activate(profile.Path, device, ap);
    return res;
  }
};

NmClient::NmClient() : impl_(std::make_unique<Impl>()) {}
NmClient::~NmClient() = default;

WlanResult NmClient::Profiles(const std::string& ifname, std::vector<NmProfile>& profiles) {
  return impl_->Profiles(ifname, profiles);
}

WlanResult NmClient::DeleteProfile(const std::string& ifname, std::string_view name) {
  if (!IsValidWlanName(name)) return WlanError::kInvalidParameter;
  std::vector<NmProfile> profiles;
  if (WlanResult r = impl_->Profiles(ifname, profiles); r != 0) return r;
  const NmProfile* p = Impl::Find(profiles, name);
  if (!p) return WlanError::kNotFound;
  Message reply;
  return impl_->Call(p->Path.c_str(), kConnectionInterface, "Delete", reply);
}

WlanResult NmClient::RenameProfile(const std::string& ifname, std::string_view oldName, std::string_view newName) {
  if (!IsValidWlanName(oldName) || !IsValidWlanName(newName)) return WlanError::kInvalidParameter;
  std::vector<NmProfile> profiles;
  if (WlanResult r = impl_->Profiles(ifname, profiles); r != 0) return r;
  const NmProfile* p = Impl::Find(profiles, oldName);
  if (!p) return WlanError::kNotFound;
  if (oldName == newName) return WlanError::kSuccess;
  if (Impl::Find(profiles, newName)) return WlanError::kAlreadyExists;
  return impl_->Rewrite(p->Path, {{"connection", "id", std::string(newName), 0, std::nullopt}});
}

WlanResult NmClient::SetProfilePosition(const std::string& ifname, std::string_view name, uint32_t position) {
  if (!IsValidWlanName(name)) return WlanError::kInvalidParameter;
  std::vector<NmProfile> profiles;
  if (WlanResult r = impl_->Profiles(ifname, profiles); r != 0) return r;
  const NmProfile* p = Impl::Find(profiles, name);
  if (!p) return WlanError::kNotFound;
  if (position >= profiles.size()) return WlanError::kInvalidParameter;
  auto plan = PlanProfilePosition(profiles, static_cast<size_t>(p - profiles.data()), position);
  if (!plan) return WlanError::kInvalidParameter;
  for (size_t i = 0; i < profiles.size(); ++i) {
    if ((*plan)[i] == profiles[i].Priority) continue;
    if (WlanResult r = impl_->Rewrite(profiles[i].Path,
                                      {{"connection", "autoconnect-priority", std::nullopt, (*plan)[i], std::nullopt}});
        r != 0)
      return r;
  }
  return WlanError::kSuccess;
}

WlanResult NmClient::EditProfile(const std::string& ifname, std::string_view name, const std::string& searchPath) {
  if (!IsValidWlanName(name)) return WlanError::kInvalidParameter;
  std::string path = searchPath;
  if (path.empty()) {
    const char* env = std::getenv("PATH");
    path = env ? env : "/usr/local/bin:/usr/bin:/bin";
  }
  std::string editor = FindProgram("nm-connection-editor", path);
  if (editor.empty()) return WlanError::kFileNotFound;  // the dialog says the editor is missing
  std::vector<NmProfile> profiles;
  if (WlanResult r = impl_->Profiles(ifname, profiles); r != 0) return r;
  const NmProfile* p = Impl::Find(profiles, name);
  if (!p) return WlanError::kNotFound;
  std::string arg = "--edit=" + p->Uuid;
  char* argv[] = {editor.data(), arg.data(), nullptr};
  pid_t pid = 0;
  if (int e = ::posix_spawn(&pid, editor.c_str(), nullptr, nullptr, argv, environ); e != 0) return FromErrno(-e);
  // The editor runs on its own; a thread waits for its end so that it leaves no zombie behind.
  std::thread([pid] {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {}
  }).detach();
  return WlanError::kSuccess;
}

WlanResult NmClient::Connect(const std::string& ifname, std::span<const uint8_t> ssid,
                             const std::optional<std::array<uint8_t, 6>>& bssid, uint32_t bssType) {
  if (ssid.empty() || ssid.size() > 32 || bssType < 1 || bssType > 3) return WlanError::kInvalidParameter;
  std::string device;
  if (WlanResult r = impl_->Device(ifname, device); r != 0) return r;
  std::vector<NmProfile> profiles;
  if (WlanResult r = impl_->Profiles(ifname, profiles); r != 0) return r;
  std::string ap = impl_->AccessPoint(device, bssid);
  for (const auto& p : profiles)
    if (std::equal(p.Ssid.begin(), p.Ssid.end(), ssid.begin(), ssid.end()) && ModeFits(p.Mode, bssType))
      return bssid ? impl_->ActivatePinned(p, device, ap, *bssid) : impl_->Activate(p.Path, device, ap);
  // No profile yet: NetworkManager completes a new one from the access point and asks for its secret. The
  // BSSID goes into the new profile only when NetworkManager does not list the access point to pin it by.
  Message reply;
  return impl_->Call(kNmPath, kNmInterface, "AddAndActivateConnection", reply, [&](sd_bus_message* m) {
    int r = sd_bus_message_open_container(m, 'a', "{sa{sv}}");
    if (r >= 0) r = sd_bus_message_append(m, "{sa{sv}}", "connection", 1, "type", "s", kWirelessType);
    if (r >= 0) r = sd_bus_message_open_container(m, 'e', "sa{sv}");
    if (r >= 0) r = sd_bus_message_append(m, "s", kWirelessType);
    if (r >= 0) r = sd_bus_message_open_container(m, 'a', "{sv}");
    if (r >= 0) r = sd_bus_message_open_container(m, 'e', "sv");
    if (r >= 0) r = sd_bus_message_append(m, "s", "ssid");
    if (r >= 0) r = sd_bus_message_open_container(m, 'v', "ay");
    if (r >= 0) r = sd_bus_message_append_array(m, 'y', ssid.data(), ssid.size());
    if (r >= 0) r = sd_bus_message_close_container(m);
    if (r >= 0) r = sd_bus_message_close_container(m);
    if (r >= 0 && bssType == 2) r = sd_bus_message_append(m, "{sv}", "mode", "s", "adhoc");
    if (r >= 0 && bssid && ap == "/") {
      r = sd_bus_message_open_container(m, 'e', "sv");
      if (r >= 0) r = sd_bus_message_append(m, "s", "bssid");
      if (r >= 0) r = sd_bus_message_open_container(m, 'v', "ay");
      if (r >= 0) r = sd_bus_message_append_array(m, 'y', bssid->data(), bssid->size());
      if (r >= 0) r = sd_bus_message_close_container(m);
      if (r >= 0) r = sd_bus_message_close_container(m);
    }
    if (r >= 0) r = sd_bus_message_close_container(m);
    if (r >= 0) r = sd_bus_message_close_container(m);
    if (r >= 0) r = sd_bus_message_close_container(m);
    if (r >= 0) r = sd_bus_message_append(m, "oo", device.c_str(), ap.c_str());
    return r;
  });
}

WlanResult NmClient::ConnectProfile(const std::string& ifname, std::string_view name,
                                    const std::optional<std::array<uint8_t, 6>>& bssid) {
  if (!IsValidWlanName(name)) return WlanError::kInvalidParameter;
  std::string device;
  if (WlanResult r = impl_->Device(ifname, device); r != 0) return r;
  std::vector<NmProfile> profiles;
  if (WlanResult r = impl_->Profiles(ifname, profiles); r != 0) return r;
  const NmProfile* p = Impl::Find(profiles, name);
  if (!p) return WlanError::kNotFound;
  std::string ap = impl_->AccessPoint(device, bssid);
  return bssid ? impl_->ActivatePinned(*p, device, ap, *bssid) : impl_->Activate(p->Path, device, ap);
}

WlanResult NmClient::Disconnect(const std::string& ifname) {
  std::string device;
  if (WlanResult r = impl_->Device(ifname, device); r != 0) return r;
  Message reply;
  BusError error;
  WlanResult r = impl_->Call(device.c_str(), kDeviceInterface, "Disconnect", reply, {}, &error);
  if (r != 0 && EndsWith(error.Name(), ".NotActive")) return WlanError::kSuccess;  // nothing to end
  return r;
}

WlanResult NmClient::ActiveProfileName(const std::string& ifname, std::string& name) {
  name.clear();
  std::string device, active;
  if (WlanResult r = impl_->Device(ifname, device); r != 0) return r;
  if (WlanResult r = impl_->StringProperty(device, kDeviceInterface, "ActiveConnection", 'o', active); r != 0) return r;
  if (active == "/" || active.empty()) return WlanError::kSuccess;
  return impl_->StringProperty(active, kActiveInterface, "Id", 's', name);
}

WlanResult NmClient::SetWirelessEnabled(bool enabled) {
  Message reply;
  return impl_->Call(kNmPath, kPropertiesInterface, "Set", reply, [&](sd_bus_message* m) {
    return sd_bus_message_append(m, "ssv", kNmInterface, "WirelessEnabled", "b", static_cast<int>(enabled));
  });
}

WlanResult NmClient::RequestScan(const std::string& ifname, std::string& why) {
  why.clear();
  std::string device;
  WlanResult r = impl_->Device(ifname, device);
  if (r == 0) {
    Message reply;
    r = impl_->Call(device.c_str(), kWirelessInterface, "RequestScan", reply,
                    [](sd_bus_message* m) { return sd_bus_message_append(m, "a{sv}", 0); });
  }
  if (r != 0) why = impl_->failure.empty() ? "error " + std::to_string(r) : impl_->failure;
  return r;
}

#else  // no D-Bus in this build: NetworkManager cannot be reached

struct NmClient::Impl {};
NmClient::NmClient() : impl_(std::make_unique<Impl>()) {}
NmClient::~NmClient() = default;
WlanResult NmClient::Profiles(const std::string&, std::vector<NmProfile>& profiles) {
  profiles.clear();
  return WlanError::kNotSupported;
}
WlanResult NmClient::DeleteProfile(const std::string&, std::string_view) { return WlanError::kNotSupported; }
WlanResult NmClient::RenameProfile(const std::string&, std::string_view, std::string_view) {
  return WlanError::kNotSupported;
}
WlanResult NmClient::SetProfilePosition(const std::string&, std::string_view, uint32_t) {
  return WlanError::kNotSupported;
}
WlanResult NmClient::EditProfile(const std::string&, std::string_view, const std::string&) {
  return WlanError::kNotSupported;
}
WlanResult NmClient::Connect(const std::string&, std::span<const uint8_t>, const std::optional<std::array<uint8_t, 6>>&,
                             uint32_t) {
  return WlanError::kNotSupported;
}
WlanResult NmClient::ConnectProfile(const std::string&, std::string_view,
                                    const std::optional<std::array<uint8_t, 6>>&) {
  return WlanError::kNotSupported;
}
WlanResult NmClient::Disconnect(const std::string&) { return WlanError::kNotSupported; }
WlanResult NmClient::ActiveProfileName(const std::string&, std::string& name) {
  name.clear();
  return WlanError::kNotSupported;
}
WlanResult NmClient::SetWirelessEnabled(bool) { return WlanError::kNotSupported; }
WlanResult NmClient::RequestScan(const std::string&, std::string& why) {
  why = "this build has no D-Bus support";
  return WlanError::kNotSupported;
}

#endif

}  // namespace skimlet::linuxwifi
