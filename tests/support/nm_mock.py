#!/usr/bin/python3
# A private system bus with python-dbusmock's NetworkManager template on it, driven through standard input.
#
# Prints "READY <bus address>" (or "SKIP <why>") once the mock is on the bus. Then each input line is Python:
# a line beginning with "?" is evaluated and answered with "= <value>", any other line is executed and answered
# with "ok"; a failure is answered with "! <error>". End of input stops the mock and the bus. Both children die
# with this process, so a test that is killed leaves nothing running.
import ctypes
import os
import signal
import subprocess
import sys
import tempfile
import time
import traceback

try:
    import dbus
    import dbusmock
except ImportError as e:
    print(f'SKIP python3-dbusmock is missing ({e})', flush=True)
    sys.exit(0)

NM = 'org.freedesktop.NetworkManager'
SETTINGS_PATH = '/org/freedesktop/NetworkManager/Settings'


def die_with_parent():
    ctypes.CDLL(None).prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG


def start_bus(folder):
    conf = os.path.join(folder, 'system.conf')
    with open(conf, 'w') as f:
        f.write(f'''<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:dir={folder}</listen>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
''')
    try:
        daemon = subprocess.Popen(['dbus-daemon', '--nofork', '--print-address=1', '--config-file=' + conf],
                                  stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, universal_newlines=True,
                                  preexec_fn=die_with_parent)
    except FileNotFoundError:
        print('SKIP dbus-daemon is missing', flush=True)
        sys.exit(0)
    address = daemon.stdout.readline().strip()
    return daemon, address


def main():
    folder = tempfile.mkdtemp(prefix='skimlet-nm-')
    daemon, address = start_bus(folder)
    env = dict(os.environ, DBUS_SYSTEM_BUS_ADDRESS=address)
    mock = subprocess.Popen([sys.executable, '-m', 'dbusmock', '--system', '--template', 'networkmanager'],
                            env=env, stdout=subprocess.DEVNULL, preexec_fn=die_with_parent)
    bus = dbus.bus.BusConnection(address)
    deadline = time.time() + 20
    while not bus.name_has_owner(NM):
        if time.time() > deadline or mock.poll() is not None:
            print('SKIP the NetworkManager mock did not start', flush=True)
            sys.exit(0)
        time.sleep(0.05)

    def obj(path):
        return bus.get_object(NM, path)

    def mock_of(path):
        return dbus.Interface(obj(path), dbusmock.MOCK_IFACE)

    nm = mock_of('/org/freedesktop')  # the template's own calls (AddWiFiDevice, AddAccessPoint, ...)
    settings = dbus.Interface(obj(SETTINGS_PATH), 'org.freedesktop.NetworkManager.Settings')

    def add_conn(cid, ssid, prio=None, ts=None, iface=None, psk=None, ctype='802-11-wireless', mode=None):
        '''A stored connection; returns its path.'''
        connection = {'id': cid, 'type': ctype}
        if prio is not None:
            connection['autoconnect-priority'] = dbus.Int32(prio)
        if ts is not None:
            connection['timestamp'] = dbus.UInt64(ts)
        if iface is not None:
            connection['interface-name'] = iface
        wireless = {'ssid': dbus.ByteArray(ssid.encode())}
        if mode is not None:
            wireless['mode'] = mode
        s = {'connection': connection, '802-11-wireless': wireless}
        if psk is not None:
            # The template keeps secrets under 'secrets' and leaves them out of GetSettings.
            s['802-11-wireless-security'] = {'key-mgmt': 'wpa-psk', 'secrets': {'psk': psk}}
        return str(settings.AddConnection(dbus.Dictionary(s, signature='sa{sv}')))

    def conn_settings(path):
        return obj(path).GetSettings(dbus_interface='org.freedesktop.NetworkManager.Settings.Connection')

    def by_id(cid):
        for path in settings.ListConnections():
            if conn_settings(path)['connection']['id'] == cid:
                return str(path)
        return None

    def prio(cid):
        return int(conn_settings(by_id(cid))['connection'].get('autoconnect-priority', 0))

    def psk(cid):
        s = obj(by_id(cid)).GetSecrets('802-11-wireless-security',
                                       dbus_interface='org.freedesktop.NetworkManager.Settings.Connection')
        return str(s['802-11-wireless-security']['secrets'].get('psk', ''))

    def calls(path, method):
        '''The arguments of each recorded call of Method on Path.'''
        return [c[2] for c in mock_of(path).GetCalls() if c[1] == method]

    def prop(path, interface, name):
        return obj(path).Get(interface, name, dbus_interface='org.freedesktop.DBus.Properties')

    def stop_nm():
        mock.terminate()
        mock.wait(10)

    scope = dict(globals(), dbus=dbus, nm=nm, settings=settings, add_conn=add_conn, conn_settings=conn_settings,
                 by_id=by_id, prio=prio, psk=psk, calls=calls, prop=prop, obj=obj, mock_of=mock_of, stop_nm=stop_nm)
    print('READY ' + address, flush=True)
    try:
        for line in sys.stdin:
            line = line.rstrip('\n')
            try:
                if line.startswith('?'):
                    answer = '= ' + str(eval(line[1:], scope))
                else:
                    exec(line, scope)
                    answer = 'ok'
            except Exception as e:  # pylint: disable=broad-except
                answer = '! ' + (str(e) or traceback.format_exc())
            print(answer.replace('\n', ' '), flush=True)
    finally:
        for p in (mock, daemon):
            if p.poll() is None:
                p.terminate()
                try:
                    p.wait(5)
                except subprocess.TimeoutExpired:
                    p.kill()
        try:
            os.rmdir(folder)
        except OSError:
            pass


if __name__ == '__main__':
    main()
