'''NetworkManager stand-in for Tavlor's dial-up tests.

Wraps python-dbusmock's networkmanager template and closes the gaps that matter for dial-up:
modem devices, GetSettings without secrets and NetworkManager-shaped GetSecrets, Update that
replaces the profile, in-memory (volatile) profiles, activation that passes through Activating
before Activated or failing (with StateChanged), and deactivation and deletion that remove the
active connection.

It refuses what the real NetworkManager refuses (an empty password, a PPPoE profile without user
name, an APN with characters outside [A-Za-z0-9._-], a CDMA profile without number), naming the
property as NetworkManager does, and like NetworkManager it keeps the stored secrets when an
update carries none.

Mock methods (interface org.freedesktop.DBus.Mock on /org/freedesktop):
  AddModemDevice(name, interface) -> device path
  SetNextActivation(outcome, reason): outcome "activated" or "failed" for the next activation
  SetSecretsReadable(readable): GetSecrets refuses, as for an unprivileged caller
  Stall(seconds): the stand-in answers nothing for that long (calls queue up on the bus)
  BreakTypes(): ActiveConnections becomes an a{sv} and ListConnections answers one
  SetNextDeviceFailure(reason): the next failing activation fails its device with this
      NMDeviceStateReason first (46: the SIM card asks for its PIN)
  LastActivation() -> a{ss}: how the last dial was sent: method (ActivateConnection or
      AddAndActivateConnection2), uuid, and the username, number and password it carried
      ("(none)" where absent; for ActivateConnection the stored profile's own)
'''

import time


import dbus
import dbusmock
from dbusmock import MOCK_IFACE
from dbusmock.templates import networkmanager as stock
from dbusmock.templates.networkmanager import *  # noqa: F401,F403 (the stock mock methods)
from gi.repository import GLib

BUS_NAME = stock.BUS_NAME
MAIN_OBJ = stock.MAIN_OBJ
SYSTEM_BUS = True
IS_OBJECT_MANAGER = True

MANAGER_OBJ = stock.MANAGER_OBJ
MANAGER_IFACE = stock.MANAGER_IFACE
SETTINGS_OBJ = stock.SETTINGS_OBJ
CSETTINGS_IFACE = stock.CSETTINGS_IFACE
ACTIVE_IFACE = stock.ACTIVE_CONNECTION_IFACE
DEVICE_IFACE = stock.DEVICE_IFACE

SECRET_KEYS = ('password', 'pin', 'secrets')
VOLATILE = 0x4
ACTIVATING, ACTIVATED, DEACTIVATED = 1, 2, 4
ACTIVATION_DELAY_MS = 150

state = {'next': ('activated', 0), 'count': 0, 'secrets': True, 'device_failure': 0, 'last': {}}
APN_CHARS = set('abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789._-')


def _without_secrets(settings):
    return {name: {k: v for k, v in values.items() if k not in SECRET_KEYS} for name, values in settings.items()}


def _invalid(message):
    return dbus.exceptions.DBusException(message, name='org.freedesktop.NetworkManager.Settings.Connection.InvalidProperty')


def _validate(settings):
    kind = str(settings.get('connection', {}).get('type', ''))
    for name in ('gsm', 'cdma', 'pppoe'):
        values = settings.get(name, {})
        for key in ('password', 'username', 'number'):
            if key in values and str(values[key]) == '':
                raise _invalid('%s.%s: property is empty' % (name, key))
    if kind == 'pppoe' and 'username' not in settings.get('pppoe', {}):
        raise _invalid('pppoe.username: property is missing')
    if kind == 'cdma' and 'number' not in settings.get('cdma', {}):
        raise _invalid('cdma.number: property is missing')
    apn = str(settings.get('gsm', {}).get('apn', ''))
    if any(c not in APN_CHARS for c in apn) or len(apn) > 64:
        raise _invalid("gsm.apn: '%s' contains invalid char(s) (use [A-Za-z._-])" % apn)


def _has_secrets(settings):
    return any(k in values for values in settings.values() for k in SECRET_KEYS)


def _get_secrets(self, setting):
    if not state['secrets']:
        raise dbus.exceptions.DBusException('Not authorized to modify system connections',
                                            name='org.freedesktop.NetworkManager.Settings.PermissionDenied')
    values = self.settings.get(setting, {})
    found = {k: v for k, v in values.items() if k in SECRET_KEYS and k != 'secrets'}
    return {setting: found}


def _update(self, settings):
    if self.connection_path not in dbusmock.get_object(SETTINGS_OBJ).ListConnections():
        raise dbus.exceptions.DBusException('no such connection', name=MANAGER_IFACE + '.DoesNotExist')
    _validate(settings)
    # NetworkManager replaces the whole profile; secrets only when the update carries some.
    new = {name: dict(values) for name, values in settings.items()}
    if not _has_secrets(new):
        for name, values in self.settings.items():
            for key in SECRET_KEYS:
                if key in values:
                    new.setdefault(name, {})[key] = values[key]
    self.settings = new
    self.EmitSignal(CSETTINGS_IFACE, 'Updated', '', [])


def _delete(self):
    nm = dbusmock.get_object(MANAGER_OBJ)
    for active in list(nm.Get(MANAGER_IFACE, 'ActiveConnections')):
        if dbusmock.get_object(active).Get(ACTIVE_IFACE, 'Connection') == self.connection_path:
            _deactivate(nm, active, 2)
    stock.ConnectionDelete(self)


def _add_connection(settings_obj, settings, flags=0):
    _validate(settings)
    path = stock.SettingsAddConnection(settings_obj, settings)
    conn = dbusmock.get_object(path)
    conn.AddProperties(CSETTINGS_IFACE, {'Flags': dbus.UInt32(flags), 'Filename': ''})
    conn.ConnectionGetSettings = _without_secrets_method
    conn.ConnectionGetSecrets = _get_secrets
    conn.ConnectionUpdate = _update
    conn.ConnectionDelete = _delete
    return path


def _without_secrets_method(self):
    return _without_secrets(self.settings)


def _free_modem():
    nm = dbusmock.get_object(MANAGER_OBJ)
    for dev in nm.GetDevices():
        obj = dbusmock.get_object(dev)
        if obj.Get(DEVICE_IFACE, 'DeviceType') == 8 and obj.Get(DEVICE_IFACE, 'ActiveConnection') == '/':
            return dev
    raise dbus.exceptions.DBusException('no free modem', name=MANAGER_IFACE + '.UnknownDevice')


def _record(method, settings):
    values = {}
    for name in ('gsm', 'cdma', 'pppoe'):
        values.update({k: str(v) for k, v in settings.get(name, {}).items()})
    state['last'] = {'method': method, 'uuid': str(settings['connection']['uuid'])}
    for key in ('username', 'number', 'password'):
        state['last'][key] = values.get(key, '(none)')


def _finish(nm, active):
    outcome, reason = state['next']
    state['next'] = ('activated', 0)
    device_failure, state['device_failure'] = state['device_failure'], 0
    if active not in nm.Get(MANAGER_IFACE, 'ActiveConnections'):
        return False
    if outcome != 'activated' and device_failure:
        for dev in dbusmock.get_object(active).Get(ACTIVE_IFACE, 'Devices'):
            dbusmock.get_object(dev).Set(DEVICE_IFACE, 'StateReason',
                                         (dbus.UInt32(120), dbus.UInt32(device_failure)))
    if outcome == 'activated':
        obj = dbusmock.get_object(active)
        for dev in obj.Get(ACTIVE_IFACE, 'Devices'):
            device = dbusmock.get_object(dev)
            if device.Get(DEVICE_IFACE, 'DeviceType') == 8:
                device.Set(DEVICE_IFACE, 'IpInterface', 'ppp0')
        obj.Set(ACTIVE_IFACE, 'State', dbus.UInt32(ACTIVATED))
        obj.EmitSignal(ACTIVE_IFACE, 'StateChanged', 'uu', [dbus.UInt32(ACTIVATED), dbus.UInt32(1)])
    else:
        _deactivate(nm, active, reason)
    return False


def _activate(nm, connection, device):
    dev = device if str(device) != '/' else _free_modem()
    state['count'] += 1
    name = 'T' + str(state['count'])
    active = stock.AddActiveConnection(nm, [dev], connection, '/', name, dbus.UInt32(ACTIVATING))
    GLib.timeout_add(ACTIVATION_DELAY_MS, _finish, nm, active)
    return dbus.ObjectPath(active)


def _add_and_activate2(nm, settings, device, _specific, options):
    _record('AddAndActivateConnection2', settings)
    flags = VOLATILE if str(options.get('persist', '')) == 'volatile' else 0
    path = _add_connection(dbusmock.get_object(SETTINGS_OBJ), settings, flags)
    try:
        active = _activate(nm, path, device)
    except dbus.exceptions.DBusException:
        if flags & VOLATILE:
            stock.ConnectionDelete(dbusmock.get_object(path))
        raise
    return (dbus.ObjectPath(path), active, dbus.Dictionary({}, signature='sv'))


def _deactivate(nm, active, reason=2):
    actives = nm.Get(MANAGER_IFACE, 'ActiveConnections')
    if active not in actives:
        raise dbus.exceptions.DBusException('not active', name=MANAGER_IFACE + '.ConnectionNotActive')
    obj = dbusmock.get_object(active)
    obj.Set(ACTIVE_IFACE, 'State', dbus.UInt32(DEACTIVATED))
    obj.EmitSignal(ACTIVE_IFACE, 'StateChanged', 'uu', [dbus.UInt32(DEACTIVATED), dbus.UInt32(reason)])
    for dev in obj.Get(ACTIVE_IFACE, 'Devices'):
        nm.SetDeviceDisconnected(dev)
        if dbusmock.get_object(dev).Get(DEVICE_IFACE, 'DeviceType') == 8:
            dbusmock.get_object(dev).Set(DEVICE_IFACE, 'IpInterface', '')
    connection = str(obj.Get(ACTIVE_IFACE, 'Connection'))
    actives.remove(dbus.ObjectPath(active))
    nm.SetProperty(MANAGER_OBJ, MANAGER_IFACE, 'ActiveConnections', dbus.Array(actives, signature='o'))
    nm.object_manager_emit_removed(active)
    nm.RemoveObject(active)
    profile = dbusmock.get_object(connection)
    if profile.Get(CSETTINGS_IFACE, 'Flags') & VOLATILE:
        stock.ConnectionDelete(profile)


@dbus.service.method(MOCK_IFACE, in_signature='ss', out_signature='s')
def AddModemDevice(self, device_name, iface_name):
    path = '/org/freedesktop/NetworkManager/Devices/' + device_name
    self.AddObject(path, 'org.freedesktop.NetworkManager.Device.Modem',
                   {'ModemCapabilities': dbus.UInt32(4), 'CurrentCapabilities': dbus.UInt32(4)}, [])
    dbusmock.get_object(path).AddProperties(DEVICE_IFACE, {
        'DeviceType': dbus.UInt32(8),
        'State': dbus.UInt32(30),
        'StateReason': (dbus.UInt32(30), dbus.UInt32(0)),
        'Interface': iface_name,
        'IpInterface': '',
        'ActiveConnection': dbus.ObjectPath('/'),
        'AvailableConnections': dbus.Array([], signature='o'),
        'AutoConnect': False,
        'Managed': True,
        'Driver': 'option',
    })
    self.object_manager_emit_added(path)
    nm = dbusmock.get_object(MANAGER_OBJ)
    devices = nm.Get(MANAGER_IFACE, 'Devices')
    devices.append(path)
    nm.Set(MANAGER_IFACE, 'Devices', devices)
    nm.EmitSignal(MANAGER_IFACE, 'DeviceAdded', 'o', [path])
    return path


@dbus.service.method(MOCK_IFACE, in_signature='su', out_signature='')
def SetNextActivation(_self, outcome, reason):
    state['next'] = (str(outcome), int(reason))


@dbus.service.method(MOCK_IFACE, in_signature='b', out_signature='')
def SetSecretsReadable(_self, readable):
    state['secrets'] = bool(readable)


@dbus.service.method(MOCK_IFACE, in_signature='u', out_signature='')
def SetNextDeviceFailure(_self, reason):
    state['device_failure'] = int(reason)


@dbus.service.method(MOCK_IFACE, in_signature='', out_signature='a{ss}')
def LastActivation(_self):
    return dbus.Dictionary(state['last'], signature='ss')


def _activate_stored(nm, connection, device):
    _record('ActivateConnection', dbusmock.get_object(connection).settings)
    return _activate(nm, connection, device)


@dbus.service.method(MOCK_IFACE, in_signature='d', out_signature='')
def Stall(_self, seconds):
    GLib.timeout_add(0, lambda: time.sleep(float(seconds)) and False)


@dbus.service.method(MOCK_IFACE, in_signature='', out_signature='')
def BreakTypes(_self):
    nm = dbusmock.get_object(MANAGER_OBJ)
    broken = dbus.Dictionary({'x%d' % i: dbus.String('y' * 64) for i in range(64)}, signature='sv')
    nm.Set(MANAGER_IFACE, 'ActiveConnections', broken)
    settings_obj = dbusmock.get_object(SETTINGS_OBJ)
    settings_obj.AddMethod(stock.SETTINGS_IFACE, 'ListConnections', '', 'a{sv}',
                           "ret = dbus.Dictionary({'a': dbus.String('b')}, signature='sv')")


def load(mock, parameters):
    stock.load(mock, parameters)
    state['next'] = ('activated', 0)
    state['device_failure'] = 0
    state['last'] = {}
    nm = dbusmock.get_object(MANAGER_OBJ)
    nm.tv_activate = lambda conn, dev, _ap: _activate_stored(nm, conn, dev)
    nm.tv_add_and_activate2 = lambda *a: _add_and_activate2(nm, *a)
    nm.tv_deactivate = lambda active: _deactivate(nm, active, 2)
    nm.AddMethod(MANAGER_IFACE, 'ActivateConnection', 'ooo', 'o', 'ret = self.tv_activate(*args)')
    nm.AddMethod(MANAGER_IFACE, 'AddAndActivateConnection2', 'a{sa{sv}}ooa{sv}', 'ooa{sv}',
                 'ret = self.tv_add_and_activate2(*args)')
    nm.AddMethod(MANAGER_IFACE, 'DeactivateConnection', 'o', '', 'self.tv_deactivate(args[0])')
    settings_obj = dbusmock.get_object(SETTINGS_OBJ)
    settings_obj.tv_add = lambda settings: _add_connection(settings_obj, settings)
    settings_obj.AddMethod(stock.SETTINGS_IFACE, 'AddConnection', 'a{sa{sv}}', 'o', 'ret = self.tv_add(args[0])')
    for index, iface in enumerate(parameters.get('modems', ['ttyUSB0'])):
        AddModemDevice(mock, 'modem%d' % index, iface)
