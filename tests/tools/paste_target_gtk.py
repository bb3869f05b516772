#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# A GTK window with one entry, for the paste tests: paste_target_gtk.py TITLE. Prints
# "ready" once it has the keyboard, then "text CONTENT" after every change.
import sys

import gi

gi.require_version("Gtk", "3.0")
from gi.repository import Gtk  # noqa: E402

announced = False


def focused(*_):
    global announced
    if not announced:
        announced = True
        print("ready", flush=True)
    return False


window = Gtk.Window(title=sys.argv[1])
window.set_default_size(320, 60)
window.move(60, 240)
entry = Gtk.Entry()
entry.connect("changed", lambda e: print("text " + e.get_text(), flush=True))
window.add(entry)
window.connect("focus-in-event", focused)
window.connect("destroy", Gtk.main_quit)
window.show_all()
Gtk.main()
