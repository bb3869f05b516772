# SPDX-License-Identifier: GPL-3.0-or-later
# A Tk program that copies as Tk's text widgets do: "copy TEXT" on its standard input puts
# TEXT on the clipboard, which Tk takes only once and then keeps from one copy to the next,
# so that only the first copy is announced. Prints "copied" after each. "quit" ends it,
# without handing the clipboard over (Tk never does). Run it with wish.
wm withdraw .
fconfigure stdin -blocking 0 -encoding utf-8
fconfigure stdout -encoding utf-8
fileevent stdin readable {
    if {[gets stdin line] < 0} {
        if {[eof stdin]} { exit }
        return
    }
    if {[string match "copy *" $line]} {
        clipboard clear
        clipboard append -- [string range $line 5 end]
        puts copied
        flush stdout
    } elseif {$line eq "quit"} {
        exit
    }
}
