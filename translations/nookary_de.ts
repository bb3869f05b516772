<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>nookary::AddShelfRow</name>
    <message>
        <location filename="../src/ui/panel/ShelfRow.cpp" line="+413"/>
        <source>Drag from History or add a snippet…</source>
        <translation>Aus dem Verlauf ziehen oder Textbaustein hinzufügen…</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Add a snippet…</source>
        <translation>Textbaustein hinzufügen…</translation>
    </message>
</context>
<context>
    <name>nookary::CommandLine</name>
    <message>
        <location filename="../src/app/CommandLine.cpp" line="+47"/>
        <source>unknown option &apos;%1&apos;</source>
        <translation>unbekannte Option „%1“</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>unexpected argument &apos;%1&apos;</source>
        <translation>unerwartetes Argument „%1“</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>&apos;%1&apos; cannot be combined with another option</source>
        <translation>„%1“ lässt sich mit keiner anderen Option verbinden</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Usage: Nookary [option]

Keeps a clipboard history and saved snippets at hand from the tray.
Without an option, it runs, or asks the running Nookary to open its panel.

Options:
  --toggle     open the panel of the running Nookary, or close it if open
  --show       open the panel of the running Nookary
  --hide       close the panel of the running Nookary
  --history    print the running Nookary&apos;s clipboard history, newest first,
               one JSON object with &quot;id&quot; and &quot;text&quot; per line
  --saved      print the running Nookary&apos;s saved snippets the same way
  --launched-from-login-item
               start quietly, as at login (used by the login launcher)
  -h, --help   print this help
  -v, --version
               print the version
</source>
        <translation>Aufruf: Nookary [Option]

Hält einen Verlauf der Zwischenablage und gespeicherte Textbausteine
im Infobereich bereit. Ohne Option gestartet, läuft es oder bittet das
laufende Nookary, sein Fenster zu öffnen.

Optionen:
  --toggle     öffnet das Fenster des laufenden Nookary oder schließt es,
               wenn es offen ist
  --show       öffnet das Fenster des laufenden Nookary
  --hide       schließt das Fenster des laufenden Nookary
  --history    gibt den Verlauf der Zwischenablage des laufenden Nookary aus,
               neueste zuerst, ein JSON-Objekt mit &quot;id&quot; und &quot;text&quot; je Zeile
  --saved      gibt die gespeicherten Textbausteine des laufenden Nookary
               ebenso aus
  --launched-from-login-item
               startet still wie bei der Anmeldung
               (so ruft es der Anmeldestarter auf)
  -h, --help   gibt diese Hilfe aus
  -v, --version
               gibt die Version aus
</translation>
    </message>
    <message>
        <location filename="../src/app/main.cpp" line="+55"/>
        <source>Nookary is not running. Start it with: Nookary
</source>
        <translation>Nookary läuft nicht. Starten Sie es mit: Nookary
</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>Nookary: cannot load %1 (%2); reinstall Nookary.
</source>
        <translation>Nookary: %1 lässt sich nicht laden (%2); installieren Sie Nookary neu.
</translation>
    </message>
    <message>
        <location filename="../src/app/NookaryApp.cpp" line="+42"/>
        <source>Nookary needs a desktop session: neither DISPLAY nor WAYLAND_DISPLAY is set.
</source>
        <translation>Nookary braucht eine Desktop-Sitzung: Weder DISPLAY noch WAYLAND_DISPLAY ist gesetzt.
</translation>
    </message>
    <message>
        <location line="+37"/>
        <source>Nookary: cannot listen on %1 (%2); other command lines will not reach this instance.
</source>
        <translation>Nookary: %1 lässt sich nicht öffnen (%2); andere Befehlszeilen erreichen dieses Nookary nicht.
</translation>
    </message>
</context>
<context>
    <name>nookary::HistoryColumn</name>
    <message>
        <location filename="../src/ui/panel/HistoryColumn.cpp" line="+14"/>
        <source>History</source>
        <translation>Verlauf</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Up to %1</source>
        <translation>Bis zu %1</translation>
    </message>
    <message>
        <location line="+41"/>
        <source>No results</source>
        <translation>Keine Treffer</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>No history yet</source>
        <translation>Noch kein Verlauf</translation>
    </message>
</context>
<context>
    <name>nookary::HotkeyController</name>
    <message>
        <location filename="../src/app/HotkeyController.h" line="+24"/>
        <source>Shortcut is unavailable</source>
        <translation>Tastenkürzel nicht verfügbar</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>That shortcut is probably used by the desktop or another app. Please choose another combination.</source>
        <translation>Dieses Tastenkürzel wird vermutlich vom Desktop oder einer anderen App verwendet. Bitte wählen Sie eine andere Kombination.</translation>
    </message>
</context>
<context>
    <name>nookary::HotkeyRecorderControl</name>
    <message>
        <location filename="../src/ui/recorder/HotkeyRecorderControl.cpp" line="+31"/>
        <source>Not set yet</source>
        <translation>Noch nicht festgelegt</translation>
    </message>
    <message>
        <location line="+50"/>
        <source>Press new shortcut</source>
        <translation>Neues Kürzel drücken</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Off</source>
        <translation>Aus</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Change…</source>
        <translation>Ändern…</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Choose Shortcut…</source>
        <translation>Tastenkürzel wählen…</translation>
    </message>
    <message>
        <location line="+148"/>
        <source>More shortcut options</source>
        <translation>Weitere Optionen zum Tastenkürzel</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>New Shortcut</source>
        <translation>Neues Tastenkürzel</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Reset to Default</source>
        <translation>Auf Standard zurücksetzen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Disable Shortcut</source>
        <translation>Tastenkürzel ausschalten</translation>
    </message>
    <message>
        <location line="+33"/>
        <source>Press a new shortcut now (Esc to cancel)</source>
        <translation>Drücken Sie jetzt ein neues Tastenkürzel (Esc bricht ab)</translation>
    </message>
</context>
<context>
    <name>nookary::HotkeyShortcut</name>
    <message>
        <location filename="../src/core/HotkeyShortcut.cpp" line="+53"/>
        <source>Return</source>
        <translation>Eingabe</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Tab</source>
        <translation>Tab</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Space</source>
        <translation>Leertaste</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Backspace</source>
        <translation>Rücktaste</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Esc</source>
        <translation>Esc</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Home</source>
        <translation>Pos1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Page Up</source>
        <translation>Bild auf</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Delete</source>
        <translation>Entf</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>End</source>
        <translation>Ende</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Page Down</source>
        <translation>Bild ab</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Left Arrow</source>
        <translation>Pfeil links</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Right Arrow</source>
        <translation>Pfeil rechts</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Down Arrow</source>
        <translation>Pfeil unten</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Up Arrow</source>
        <translation>Pfeil oben</translation>
    </message>
    <message>
        <location line="+76"/>
        <source>Control</source>
        <translation>Strg</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Alt</source>
        <translation>Alt</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Super</source>
        <translation>Super</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Shift</source>
        <translation>Umschalt</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Key %1</source>
        <translation>Taste %1</translation>
    </message>
    <message>
        <location line="+60"/>
        <source>Off</source>
        <translation>Aus</translation>
    </message>
</context>
<context>
    <name>nookary::OnboardingFlowView</name>
    <message>
        <location filename="../src/ui/onboarding/OnboardingFlowView.cpp" line="+107"/>
        <source>Never lose your go-to prompts, text, or files</source>
        <translation>Nie wieder Ihre liebsten Prompts, Texte oder Dateien verlieren</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Everything you use most, right where you left it.</source>
        <translation>Alles, was Sie am häufigsten brauchen, genau dort, wo Sie es gelassen haben.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Clipboard history + saved snippets</source>
        <translation>Verlauf der Zwischenablage + gespeicherte Textbausteine</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Minimal, fast, always ready.</source>
        <translation>Schlicht, schnell, immer bereit.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>This is how you&apos;ll open Nookary</source>
        <translation>So öffnen Sie Nookary</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>If Nookary gets hidden in a crowded tray, this is how you&apos;ll open it.</source>
        <translation>Falls Nookary in einem vollen Infobereich untergeht, öffnen Sie es so.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Copy once. Find it instantly.</source>
        <translation>Einmal kopieren. Sofort wiederfinden.</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Every copy lands in History automatically.</source>
        <translation>Alles, was Sie kopieren, landet von selbst im Verlauf.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Copy in any app</source>
        <translation>In jeder App kopieren</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Everything appears in History automatically</source>
        <translation>Alles erscheint von selbst im Verlauf</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Keep your best snippets close</source>
        <translation>Ihre besten Textbausteine immer griffbereit</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Drag from History to Saved for one-click reuse.</source>
        <translation>Ziehen Sie Einträge aus dem Verlauf nach „Gespeichert“, um sie mit einem Klick wiederzuverwenden.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Save what matters</source>
        <translation>Speichern, was zählt</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Drag from History to Saved or add manually</source>
        <translation>Aus dem Verlauf nach „Gespeichert“ ziehen oder selbst anlegen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>You&apos;re ready</source>
        <translation>Alles bereit</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Open Nookary from its tray icon or with your shortcut.</source>
        <translation>Öffnen Sie Nookary über sein Symbol im Infobereich oder mit Ihrem Tastenkürzel.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>You&apos;re all set</source>
        <translation>Fertig eingerichtet</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Open from the tray or with your shortcut</source>
        <translation>Über den Infobereich oder per Tastenkürzel öffnen</translation>
    </message>
    <message>
        <location line="+57"/>
        <source>Skip</source>
        <translation>Überspringen</translation>
    </message>
    <message>
        <location line="+68"/>
        <source>Back</source>
        <translation>Zurück</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>Pick one you&apos;ll actually remember.</source>
        <translation>Wählen Sie eines, das Sie sich wirklich merken.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Ready</source>
        <translation>Bereit</translation>
    </message>
    <message numerus="yes">
        <location line="+1"/>
        <source>%Ln of %1 completed</source>
        <translation>
            <numerusform>%Ln von %1 geschafft</numerusform>
            <numerusform>%Ln von %1 geschafft</numerusform>
        </translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Step %1 of %2</source>
        <translation>Schritt %1 von %2</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Start using Nookary</source>
        <translation>Mit Nookary loslegen</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Continue</source>
        <translation>Weiter</translation>
    </message>
    <message>
        <location filename="../src/ui/onboarding/OnboardingFlowView.h" line="+55"/>
        <source>This desktop does not let apps set their own shortcuts. In your desktop&apos;s keyboard settings, add a custom shortcut that runs this command:</source>
        <translation>Auf diesem Desktop können Apps keine eigenen Tastenkürzel festlegen. Legen Sie in den Tastatureinstellungen Ihres Desktops ein eigenes Tastenkürzel an, das diesen Befehl ausführt:</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>In sway, for example: bindsym $mod+Shift+v exec Nookary --toggle</source>
        <translation>In sway zum Beispiel: bindsym $mod+Shift+v exec Nookary --toggle</translation>
    </message>
</context>
<context>
    <name>nookary::OnboardingWindowController</name>
    <message>
        <location filename="../src/ui/onboarding/OnboardingWindowController.h" line="+32"/>
        <source>Nookary Onboarding</source>
        <translation>Nookary – Einführung</translation>
    </message>
</context>
<context>
    <name>nookary::PopoverView</name>
    <message>
        <location filename="../src/ui/panel/PopoverView.cpp" line="+100"/>
        <source>Search</source>
        <translation>Suchen</translation>
    </message>
    <message>
        <location line="+67"/>
        <source>Clear</source>
        <translation>Leeren</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Preferences</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>Unpin (close after copy)</source>
        <translation>Lösen (nach dem Kopieren schließen)</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Pin (keep open after copy)</source>
        <translation>Anheften (nach dem Kopieren offen lassen)</translation>
    </message>
</context>
<context>
    <name>nookary::PortalGlobalHotkeyService</name>
    <message>
        <location filename="../src/platform/portal/PortalGlobalHotkeyService.h" line="+33"/>
        <source>Open or close Nookary</source>
        <translation>Nookary öffnen oder schließen</translation>
    </message>
</context>
<context>
    <name>nookary::PreferencesView</name>
    <message>
        <location filename="../src/ui/preferences/PreferencesView.cpp" line="+60"/>
        <location line="+3"/>
        <source>Launch at login</source>
        <translation>Autostart</translation>
    </message>
    <message>
        <location line="+5"/>
        <location line="+5"/>
        <source>History limit</source>
        <translation>Verlaufslänge</translation>
    </message>
    <message numerus="yes">
        <location line="-3"/>
        <source>%Ln items</source>
        <translation>
            <numerusform>%Ln Eintrag</numerusform>
            <numerusform>%Ln Einträge</numerusform>
        </translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Tray popover</source>
        <translation>Am Infobereich</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Centered window</source>
        <translation>Fenster in der Mitte</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+3"/>
        <source>Open mode</source>
        <translation>Öffnen als</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>History</source>
        <translation>Verlauf</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Saved</source>
        <translation>Gespeichert</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+3"/>
        <source>Default selection</source>
        <translation>Vorauswahl</translation>
    </message>
    <message>
        <location line="+6"/>
        <location line="+7"/>
        <source>Keyboard shortcut</source>
        <translation>Tastenkürzel</translation>
    </message>
    <message>
        <location filename="../src/ui/preferences/PreferencesView.h" line="+30"/>
        <source>Set in your desktop&apos;s keyboard settings: a custom shortcut that runs Nookary --toggle</source>
        <translation>In den Tastatureinstellungen Ihres Desktops festzulegen: ein eigenes Tastenkürzel, das Nookary --toggle ausführt</translation>
    </message>
</context>
<context>
    <name>nookary::PreferencesWindowController</name>
    <message>
        <location filename="../src/ui/preferences/PreferencesWindowController.h" line="+26"/>
        <source>Preferences</source>
        <translation>Einstellungen</translation>
    </message>
</context>
<context>
    <name>nookary::SavedColumn</name>
    <message>
        <location filename="../src/ui/panel/SavedColumn.cpp" line="+21"/>
        <source>Saved</source>
        <translation>Gespeichert</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Your snippets</source>
        <translation>Ihre Textbausteine</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>No results</source>
        <translation>Keine Treffer</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Ctrl+%1</source>
        <translation>Strg+%1</translation>
    </message>
</context>
<context>
    <name>nookary::ShelfRow</name>
    <message>
        <location filename="../src/ui/panel/ShelfRow.cpp" line="-213"/>
        <source>Edit</source>
        <translation>Bearbeiten</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
</context>
<context>
    <name>nookary::ShortcutField</name>
    <message>
        <location filename="../src/ui/recorder/HotkeyRecorderControl.cpp" line="+53"/>
        <source>Press a new shortcut now. Press Esc to cancel.</source>
        <translation>Drücken Sie jetzt ein neues Tastenkürzel. Esc bricht ab.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Click to set a new keyboard shortcut.</source>
        <translation>Klicken, um ein neues Tastenkürzel festzulegen.</translation>
    </message>
</context>
<context>
    <name>nookary::TrayController</name>
    <message>
        <location filename="../src/app/TrayController.cpp" line="+32"/>
        <source>Resume Nookary</source>
        <translation>Nookary fortsetzen</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Pause Nookary</source>
        <translation>Nookary pausieren</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Show Onboarding</source>
        <translation>Einführung zeigen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Preferences…</source>
        <translation>Einstellungen…</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>About</source>
        <translation>Über Nookary</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>About Nookary</source>
        <translation>Über Nookary</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Your clipboard history and saved snippets, at hand.</source>
        <translation>Ihr Verlauf der Zwischenablage und Ihre gespeicherten Textbausteine, stets zur Hand.</translation>
    </message>
</context>
</TS>
