# SPDX-License-Identifier: GPL-3.0-or-later
# A Tk window with one entry, for the paste tests: wish paste_target.tcl TITLE. Prints
# "ready" once it has the keyboard, then "key KEYSYM STATE" for every key press and
# "text CONTENT" after every change.
wm title . [lindex $argv 0]
wm geometry . 320x60+60+120
entry .entry -width 30
pack .entry -fill x
bind .entry <KeyPress> {puts "key %K %s"; flush stdout}
proc changed {args} {
    after idle {puts "text [.entry get]"; flush stdout}
}
trace add variable ::content write changed
.entry configure -textvariable ::content
focus .entry
bind . <FocusIn> {
    if {![info exists ::announced]} {
        set ::announced 1
        puts ready
        flush stdout
    }
}
