#!/usr/bin/python3
"""Counts the running Tavlor's PropertiesChanged signals on the session bus for a number of
seconds, subscribed or merely listening; prints the count."""
import sys

import dbus
import dbus.mainloop.glib
from gi.repository import GLib

seconds, subscribe = float(sys.argv[1]), sys.argv[2] == "subscribe"
dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
bus = dbus.SessionBus()
count = 0


def changed(interface, changed_props, invalidated):
    global count
    if interface == "invalid.tavlor.Tavlor.Status":
        count += 1


bus.add_signal_receiver(changed, signal_name="PropertiesChanged",
                        dbus_interface="org.freedesktop.DBus.Properties",
                        path="/invalid/tavlor/Tavlor")
if subscribe:
    bus.get_object("invalid.tavlor.Tavlor", "/invalid/tavlor/Tavlor").Subscribe(
        dbus_interface="invalid.tavlor.Tavlor.Status")
loop = GLib.MainLoop()
GLib.timeout_add(int(seconds * 1000), loop.quit)
loop.run()
print(count)
