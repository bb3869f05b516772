#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# A keyboard for a headless Mutter, which has no input devices: a remote-desktop session of
# Mutter's own D-Bus API (on the bus in DBUS_SESSION_BUS_ADDRESS) adds a virtual keyboard to
# the seat for as long as this runs. Prints "ready", then presses and releases the X keysym
# named by each line of its standard input (decimal), and prints "ok" after each.
import sys

from gi.repository import Gio, GLib

NAME = "org.gnome.Mutter.RemoteDesktop"


def main():
    bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    manager = Gio.DBusProxy.new_sync(bus, 0, None, NAME, "/org/gnome/Mutter/RemoteDesktop",
                                     NAME, None)
    path = manager.call_sync("CreateSession", None, 0, -1, None).unpack()[0]
    session = Gio.DBusProxy.new_sync(bus, 0, None, NAME, path, NAME + ".Session", None)
    session.call_sync("Start", None, 0, -1, None)
    # The seat gets its keyboard with the first key: a Shift that types nothing.
    for pressed in (True, False):
        session.call_sync("NotifyKeyboardKeysym", GLib.Variant("(ub)", (0xFFE1, pressed)), 0, -1,
                          None)
    print("ready", flush=True)
    for line in sys.stdin:
        line = line.strip()
        if not line:
            continue
        keysym = int(line)
        for pressed in (True, False):
            session.call_sync("NotifyKeyboardKeysym", GLib.Variant("(ub)", (keysym, pressed)),
                              0, -1, None)
        print("ok", flush=True)
    session.call_sync("Stop", None, 0, -1, None)


if __name__ == "__main__":
    main()
