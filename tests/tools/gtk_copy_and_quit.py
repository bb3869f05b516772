#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# A GTK program that copies TEXT and quits normally after MS milliseconds, handing its
# clipboard over to the clipboard manager as GTK programs do at the end of their main loop:
# gtk_copy_and_quit.py TEXT MS. Prints "ready" once it owns the clipboard.
import sys

import gi

gi.require_version("Gtk", "3.0")
from gi.repository import Gdk, GLib, Gtk  # noqa: E402


def ready():
    print("ready", flush=True)
    return False


clipboard = Gtk.Clipboard.get(Gdk.SELECTION_CLIPBOARD)
clipboard.set_text(sys.argv[1], -1)
GLib.idle_add(ready)
GLib.timeout_add(int(sys.argv[2]), Gtk.main_quit)
Gtk.main()
