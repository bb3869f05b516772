#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Looks at a program as a screen reader does, through AT-SPI (the accessibility bus of the
# session in DBUS_SESSION_BUS_ADDRESS), and prints one JSON object a line.
#
#   atspi_probe.py tree APP      every object of APP's windows: role, name, description, states
#   atspi_probe.py watch SECONDS the focus, name, description, check and showing events of
#                                every program, as Orca follows them; "ready" once listening
import json
import sys

import pyatspi

STATES = {
    pyatspi.STATE_FOCUSED: "focused",
    pyatspi.STATE_SELECTED: "selected",
    pyatspi.STATE_CHECKED: "checked",
    pyatspi.STATE_FOCUSABLE: "focusable",
    pyatspi.STATE_SHOWING: "showing",
}


def describe(acc):
    states = acc.getState()
    return {
        "role": acc.getRoleName(),
        "name": acc.name,
        "description": acc.description,
        "states": [name for state, name in STATES.items() if states.contains(state)],
    }


def tree(app_name):
    desktop = pyatspi.Registry.getDesktop(0)
    apps = [app for app in desktop if app is not None and app.name == app_name]
    if not apps:
        print(json.dumps({"error": "no such application"}), flush=True)
        return 1

    def walk(acc, depth):
        try:
            line = describe(acc)
        except Exception:  # an object that went away while walking
            return
        line["depth"] = depth
        print(json.dumps(line), flush=True)
        for i in range(acc.childCount):
            child = acc.getChildAtIndex(i)
            if child is not None:
                walk(child, depth + 1)

    walk(apps[-1], 0)
    return 0


def watch(seconds):
    def on_event(event):
        try:
            line = describe(event.source)
        except Exception:
            return
        line["event"] = event.type
        line["detail"] = event.detail1
        print(json.dumps(line), flush=True)

    pyatspi.Registry.registerEventListener(
        on_event,
        "focus:",
        "object:state-changed:focused",
        "object:state-changed:checked",
        "object:state-changed:showing",
        "object:property-change:accessible-name",
        # Listened to as Orca does, which also keeps the descriptions read here fresh.
        "object:property-change:accessible-description",
    )
    from gi.repository import GLib

    def ready():
        print(json.dumps({"ready": True}), flush=True)
        return False

    GLib.timeout_add(int(seconds * 1000), pyatspi.Registry.stop)
    GLib.idle_add(ready)
    pyatspi.Registry.start()
    return 0


if __name__ == "__main__":
    if len(sys.argv) == 3 and sys.argv[1] == "tree":
        sys.exit(tree(sys.argv[2]))
    if len(sys.argv) == 3 and sys.argv[1] == "watch":
        sys.exit(watch(float(sys.argv[2])))
    print("usage: atspi_probe.py tree APP | watch SECONDS", file=sys.stderr)
    sys.exit(2)
