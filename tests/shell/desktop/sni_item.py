#!/usr/bin/python3
"""What a StatusNotifierItem host does with Tavlor's item, on the session bus:
  sni_item.py registered          exit 0 once the watcher lists an item of the program
  sni_item.py activate            the host's left click (Activate)
  sni_item.py menu LABEL          chooses the menu item with that label (dbusmenu "clicked")
  sni_item.py tooltip             prints the item's tooltip text
The item is found through the watcher, as a host finds it."""
import sys
import time

import dbus

bus = dbus.SessionBus()
WATCHER = "org.kde.StatusNotifierWatcher"
ITEM = "org.kde.StatusNotifierItem"


def items():
    watcher = bus.get_object(WATCHER, "/StatusNotifierWatcher")
    names = watcher.Get(WATCHER, "RegisteredStatusNotifierItems", dbus_interface=dbus.PROPERTIES_IFACE)
    found = []
    for name in names:
        service, _, path = str(name).partition("/")
        found.append((service, "/" + path if path else "/StatusNotifierItem"))
    return found


def tavlor_item():
    for _ in range(50):
        for service, path in items():
            try:
                obj = bus.get_object(service, path)
                title = obj.Get(ITEM, "Title", dbus_interface=dbus.PROPERTIES_IFACE)
                ident = obj.Get(ITEM, "Id", dbus_interface=dbus.PROPERTIES_IFACE)
            except dbus.DBusException:
                continue
            if "tavlor" in (str(title) + str(ident)).lower():
                return obj
        time.sleep(0.1)
    return None


def find_label(layout, label):
    ident, props, children = layout
    if str(props.get("label", "")).replace("_", "") == label:
        return int(ident)
    for child in children:
        found = find_label(child, label)
        if found is not None:
            return found
    return None


def main():
    item = tavlor_item()
    if item is None:
        print("no item of the program is registered", file=sys.stderr)
        return 1
    command = sys.argv[1]
    if command == "registered":
        return 0
    if command == "activate":
        item.Activate(dbus.Int32(0), dbus.Int32(0), dbus_interface=ITEM)
        return 0
    if command == "tooltip":
        tip = item.Get(ITEM, "ToolTip", dbus_interface=dbus.PROPERTIES_IFACE)
        print(str(tip[2]) + "\n" + str(tip[3]))
        return 0
    if command == "menu":
        path = item.Get(ITEM, "Menu", dbus_interface=dbus.PROPERTIES_IFACE)
        menu = bus.get_object(item.bus_name, path)
        _, layout = menu.GetLayout(0, -1, dbus.Array([], signature="s"), dbus_interface="com.canonical.dbusmenu")
        ident = find_label(layout, sys.argv[2])
        if ident is None:
            print("no menu item %r" % sys.argv[2], file=sys.stderr)
            return 1
        menu.Event(dbus.Int32(ident), "clicked", dbus.Int32(0, variant_level=1), dbus.UInt32(0),
                   dbus_interface="com.canonical.dbusmenu")
        return 0
    print("unknown command " + command, file=sys.stderr)
    return 2


sys.exit(main())
