<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>nookary::AddShelfRow</name>
    <message>
        <location filename="../src/ui/panel/ShelfRow.cpp" line="+451"/>
        <source>Add a snippet (%1)</source>
        <translation>Textbaustein hinzufügen (%1)</translation>
    </message>
    <message>
        <location line="+30"/>
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
    <name>nookary::AppDelegate</name>
    <message>
        <location filename="../src/app/AppDelegate.cpp" line="+150"/>
        <source>Nookary cannot save your changes</source>
        <translation>Nookary kann Ihre Änderungen nicht speichern</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Writing the settings file failed; the disk may be full. Your changes are kept and saved as soon as there is room again.</source>
        <translation>Die Einstellungsdatei ließ sich nicht schreiben; vielleicht ist der Datenträger voll. Ihre Änderungen bleiben erhalten und werden gespeichert, sobald wieder Platz ist.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Nookary leaves your settings file as it is for now, so that nothing in it is lost. Changes you make are kept until Nookary quits; the system log says why.</source>
        <translation>Nookary lässt Ihre Einstellungsdatei vorerst, wie sie ist, damit nichts darin verloren geht. Ihre Änderungen bleiben erhalten, bis Nookary beendet wird; das Systemprotokoll nennt den Grund.</translation>
    </message>
</context>
<context>
    <name>nookary::CommandLine</name>
    <message>
        <location filename="../src/app/CommandLine.cpp" line="+86"/>
        <source>option &apos;%1&apos; needs a value</source>
        <translation>Option „%1“ braucht einen Wert</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>unknown option &apos;%1&apos;</source>
        <translation>unbekannte Option „%1“</translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+17"/>
        <source>unexpected argument &apos;%1&apos;</source>
        <translation>unerwartetes Argument „%1“</translation>
    </message>
    <message>
        <location line="-12"/>
        <source>&apos;%1&apos; cannot be combined with another option</source>
        <translation>„%1“ lässt sich mit keiner anderen Option verbinden</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>&apos;%1&apos; goes with &apos;%2&apos;</source>
        <translation>„%1“ geht nur zusammen mit „%2“</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>&apos;%1&apos; needs the FILE to import</source>
        <translation>„%1“ braucht die zu importierende DATEI</translation>
    </message>
    <message>
        <location line="+21"/>
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
  --export-saved [FILE]
               write the saved snippets to FILE (standard output without it)
               as a JSON array of objects with &quot;text&quot;, to keep or to move
               to another machine; works whether or not Nookary runs
  --import-saved [--lines] FILE
               add the snippets of FILE, an export (or, with --lines, plain
               text with one snippet per line), after the saved ones; those
               already saved are skipped, and the list stops at 25
  --launched-from-login-item
               start quietly, as at login (used by the login launcher)
  -h, --help   print this help
  -v, --version
               print the version

Qt&apos;s standard options (-platform, -display, -style, -reverse, -session, ...)
are passed on to Qt.
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
  --export-saved [DATEI]
               schreibt die gespeicherten Textbausteine in DATEI (ohne DATEI
               in die Standardausgabe) als JSON-Array von Objekten mit &quot;text&quot;,
               zum Aufbewahren oder zum Mitnehmen auf einen anderen Rechner;
               geht, ob Nookary läuft oder nicht
  --import-saved [--lines] DATEI
               fügt die Textbausteine aus DATEI, einem Export (oder mit
               --lines reinem Text mit einem Textbaustein je Zeile), hinter
               den gespeicherten an; bereits gespeicherte werden übersprungen,
               und die Liste endet bei 25
  --launched-from-login-item
               startet still wie bei der Anmeldung
               (so ruft es der Anmeldestarter auf)
  -h, --help   gibt diese Hilfe aus
  -v, --version
               gibt die Version aus

Die Standardoptionen von Qt (-platform, -display, -style, -reverse, -session,
...) werden an Qt weitergegeben.
</translation>
    </message>
    <message>
        <location filename="../src/app/main.cpp" line="+61"/>
        <source>Nookary is running but did not answer; try again.
</source>
        <translation>Nookary läuft, hat aber nicht geantwortet; versuchen Sie es noch einmal.
</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Nookary is not running. Start it with: Nookary
</source>
        <translation>Nookary läuft nicht. Starten Sie es mit: Nookary
</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>Nookary: cannot load %1 (%2); reinstall Nookary.
</source>
        <translation>Nookary: %1 lässt sich nicht laden (%2); installieren Sie Nookary neu.
</translation>
    </message>
    <message>
        <location filename="../src/app/NookaryApp.cpp" line="+102"/>
        <source>Nookary needs a desktop session: neither DISPLAY nor WAYLAND_DISPLAY is set.
</source>
        <translation>Nookary braucht eine Desktop-Sitzung: Weder DISPLAY noch WAYLAND_DISPLAY ist gesetzt.
</translation>
    </message>
    <message>
        <location line="+55"/>
        <source>Nookary: cannot listen on %1 (%2); other command lines will not reach this instance.
</source>
        <translation>Nookary: %1 lässt sich nicht öffnen (%2); andere Befehlszeilen erreichen dieses Nookary nicht.
</translation>
    </message>
</context>
<context>
    <name>nookary::HistoryColumn</name>
    <message>
        <location filename="../src/ui/panel/HistoryColumn.cpp" line="+17"/>
        <source>History</source>
        <translation>Verlauf</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>Waiting for the new copy…</source>
        <comment>while Return waits for a copy still being read</comment>
        <translation>Warte auf die neue Kopie…</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Up to %1</source>
        <translation>Bis zu %1</translation>
    </message>
    <message>
        <location line="+51"/>
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
    <name>nookary::HistoryRow</name>
    <message numerus="yes">
        <location filename="../src/ui/panel/HistoryRow.cpp" line="+33"/>
        <source>+%Ln more</source>
        <comment>files beside the one a row names</comment>
        <translation>
            <numerusform>+%Ln weitere</numerusform>
            <numerusform>+%Ln weitere</numerusform>
        </translation>
    </message>
    <message>
        <location line="+12"/>
        <source>cut</source>
        <comment>an entry that is not all that was copied</comment>
        <translation>gekürzt</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>%1 MB</source>
        <comment>size of a long entry; 1 MB is 1024 KB</comment>
        <translation>%1 MB</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 KB</source>
        <comment>size of a long entry; 1 KB is 1024 bytes</comment>
        <translation>%1 KB</translation>
    </message>
</context>
<context>
    <name>nookary::HotkeyController</name>
    <message>
        <location filename="../src/app/HotkeyController.h" line="+27"/>
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
        <location filename="../src/ui/recorder/HotkeyRecorderControl.cpp" line="+33"/>
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
        <location line="+36"/>
        <source>Apps use %1 to select all.</source>
        <translation>Apps verwenden %1, um alles auszuwählen.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Apps use %1 to copy.</source>
        <translation>Apps verwenden %1 zum Kopieren.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Apps use %1 to paste.</source>
        <translation>Apps verwenden %1 zum Einfügen.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Apps use %1 to cut.</source>
        <translation>Apps verwenden %1 zum Ausschneiden.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Apps use %1 to undo.</source>
        <translation>Apps verwenden %1 zum Rückgängigmachen.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Apps use %1 to redo.</source>
        <translation>Apps verwenden %1 zum Wiederherstellen.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Apps use %1 to save.</source>
        <translation>Apps verwenden %1 zum Speichern.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Apps use %1 to find.</source>
        <translation>Apps verwenden %1 zum Suchen.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Apps use %1 to close.</source>
        <translation>Apps verwenden %1 zum Schließen.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Apps use %1 to quit.</source>
        <translation>Apps verwenden %1 zum Beenden.</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>In use by another program</source>
        <translation>Von einem anderen Programm belegt</translation>
    </message>
    <message>
        <location line="+152"/>
        <location line="+1"/>
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
        <location line="+46"/>
        <source>Press a new shortcut now (Esc to cancel)</source>
        <translation>Drücken Sie jetzt ein neues Tastenkürzel (Esc bricht ab)</translation>
    </message>
</context>
<context>
    <name>nookary::HotkeyShortcut</name>
    <message>
        <location filename="../src/core/HotkeyShortcut.cpp" line="+54"/>
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
        <location line="+120"/>
        <source>Off</source>
        <translation>Aus</translation>
    </message>
</context>
<context>
    <name>nookary::KeyNames</name>
    <message>
        <location filename="../src/ui/KeyNames.cpp" line="+21"/>
        <source>Delete</source>
        <translation>Entf</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Return</source>
        <translation>Eingabe</translation>
    </message>
</context>
<context>
    <name>nookary::OnboardingFlowView</name>
    <message>
        <location filename="../src/ui/onboarding/OnboardingFlowView.cpp" line="+111"/>
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
        <location line="+63"/>
        <source>Shortcut practice</source>
        <translation>Tastenkürzel üben</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>Back</source>
        <translation>Zurück</translation>
    </message>
    <message>
        <location line="+66"/>
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
        <location filename="../src/ui/onboarding/OnboardingFlowView.h" line="+57"/>
        <source>This desktop does not let apps set their own shortcuts. In your desktop&apos;s keyboard settings, add a custom shortcut that runs this command:</source>
        <translation>Auf diesem Desktop können Apps keine eigenen Tastenkürzel festlegen. Legen Sie in den Tastatureinstellungen Ihres Desktops ein eigenes Tastenkürzel an, das diesen Befehl ausführt:</translation>
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
    <name>nookary::PanelKeyMap</name>
    <message>
        <location filename="../src/ui/panel/PanelKeyMap.cpp" line="+158"/>
        <source>There is no snippet %1.</source>
        <translation>Es gibt keinen Textbaustein %1.</translation>
    </message>
    <message>
        <location line="+60"/>
        <source>The new copy could not be recorded. It stays on the clipboard.</source>
        <translation>Die neue Kopie konnte nicht aufgenommen werden. Sie bleibt in der Zwischenablage.</translation>
    </message>
    <message>
        <location line="+69"/>
        <source>Already at the top.</source>
        <translation>Schon ganz oben.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Already at the bottom.</source>
        <translation>Schon ganz unten.</translation>
    </message>
</context>
<context>
    <name>nookary::PanelView</name>
    <message>
        <location filename="../src/ui/panel/PanelView.cpp" line="+67"/>
        <source>Resize</source>
        <translation>Größe ändern</translation>
    </message>
    <message>
        <location line="+45"/>
        <location line="+1"/>
        <source>Search</source>
        <translation>Suchen</translation>
    </message>
    <message>
        <location line="+101"/>
        <source>No results</source>
        <translation>Keine Treffer</translation>
    </message>
    <message>
        <location line="+78"/>
        <source>Clear</source>
        <translation>Leeren</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Clear history</source>
        <translation>Verlauf leeren</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Clear the history</source>
        <translation>Den Verlauf leeren</translation>
    </message>
    <message>
        <location line="+39"/>
        <source>Pin</source>
        <translation>Anheften</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Preferences (%1)</source>
        <translation>Einstellungen (%1)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Preferences</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Drag to resize</source>
        <translation>Ziehen, um die Größe zu ändern</translation>
    </message>
    <message>
        <location line="+52"/>
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
        <location filename="../src/ui/preferences/PreferencesView.cpp" line="+100"/>
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
        <location line="+8"/>
        <source>Keyboard shortcut</source>
        <translation>Tastenkürzel</translation>
    </message>
    <message>
        <location line="+9"/>
        <location line="+97"/>
        <source>Paste after choosing</source>
        <translation>Nach Auswahl einfügen</translation>
    </message>
    <message>
        <location line="-93"/>
        <source>Saved snippets</source>
        <translation>Textbausteine</translation>
    </message>
    <message>
        <location line="+82"/>
        <source>Needs the XTEST extension of the X server</source>
        <translation>Braucht die XTEST-Erweiterung des X-Servers</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>This desktop lets no program type into others</source>
        <translation>Dieser Desktop lässt kein Programm in andere tippen</translation>
    </message>
    <message>
        <location line="+122"/>
        <source>Reading %1…</source>
        <translation>%1 wird gelesen…</translation>
    </message>
    <message>
        <location line="-90"/>
        <source>Export…</source>
        <translation>Exportieren…</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Import…</source>
        <translation>Importieren…</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Writes the saved snippets to a file, to keep or to take to another machine</source>
        <translation>Schreibt die gespeicherten Textbausteine in eine Datei, zum Aufbewahren oder zum Mitnehmen auf einen anderen Rechner</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Adds the snippets of an exported file, or of a text file with one snippet per line, after yours</source>
        <translation>Fügt die Textbausteine einer exportierten Datei oder einer Textdatei mit einem Textbaustein je Zeile hinter Ihren an</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Take them to another machine as a file</source>
        <translation>Als Datei auf einen anderen Rechner mitnehmen</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Export Saved Snippets</source>
        <translation>Gespeicherte Textbausteine exportieren</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Nookary snippets.json</source>
        <translation>Nookary-Textbausteine.json</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+10"/>
        <source>Saved snippets (*.json)</source>
        <translation>Gespeicherte Textbausteine (*.json)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Text, one snippet per line (*.txt)</source>
        <translation>Text, ein Textbaustein je Zeile (*.txt)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Import Saved Snippets</source>
        <translation>Textbausteine importieren</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>All files (*)</source>
        <translation>Alle Dateien (*)</translation>
    </message>
    <message numerus="yes">
        <location line="+13"/>
        <source>Exported %Ln snippet(s) to %1</source>
        <translation>
            <numerusform>%Ln Textbaustein nach %1 exportiert</numerusform>
            <numerusform>%Ln Textbausteine nach %1 exportiert</numerusform>
        </translation>
    </message>
    <message>
        <location line="-1"/>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <location line="-83"/>
        <source>Pastes the chosen entry into the window you return to (in a terminal, with its own paste key)</source>
        <translation>Fügt den gewählten Eintrag in das Fenster ein, zu dem Sie zurückkehren (in einem Terminal mit dessen eigener Einfügetaste)</translation>
    </message>
    <message>
        <location line="+101"/>
        <source>%1: %2 Nothing was imported.</source>
        <translation>%1: %2 Es wurde nichts importiert.</translation>
    </message>
    <message>
        <location filename="../src/ui/preferences/PreferencesView.h" line="+34"/>
        <source>Set in your desktop&apos;s keyboard settings: a custom shortcut that runs Nookary --toggle</source>
        <translation>In den Tastatureinstellungen Ihres Desktops festzulegen: ein eigenes Tastenkürzel, das Nookary --toggle ausführt</translation>
    </message>
</context>
<context>
    <name>nookary::PreferencesWindowController</name>
    <message>
        <location filename="../src/ui/preferences/PreferencesWindowController.h" line="+27"/>
        <source>Preferences</source>
        <translation>Einstellungen</translation>
    </message>
</context>
<context>
    <name>nookary::RowMenu</name>
    <message>
        <location filename="../src/ui/panel/RowMenu.cpp" line="+33"/>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Save to Saved</source>
        <translation>Unter „Gespeichert“ ablegen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Edit</source>
        <translation>Bearbeiten</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Move Up</source>
        <translation>Nach oben</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Move Down</source>
        <translation>Nach unten</translation>
    </message>
</context>
<context>
    <name>nookary::ShelfColumn</name>
    <message>
        <location filename="../src/ui/panel/ShelfColumn.cpp" line="+29"/>
        <source>Saved</source>
        <translation>Gespeichert</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Your snippets</source>
        <translation>Ihre Textbausteine</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>No results</source>
        <translation>Keine Treffer</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>Ctrl+%1</source>
        <translation>Strg+%1</translation>
    </message>
    <message numerus="yes">
        <location line="+5"/>
        <source>You can save up to %Ln snippets. Delete one to make room.</source>
        <translation>
            <numerusform>Sie können bis zu %Ln Textbaustein speichern. Löschen Sie ihn, um Platz zu schaffen.</numerusform>
            <numerusform>Sie können bis zu %Ln Textbausteine speichern. Löschen Sie einen, um Platz zu schaffen.</numerusform>
        </translation>
    </message>
    <message>
        <location line="+196"/>
        <source>cut</source>
        <comment>a snippet that holds only the first part of what was dropped</comment>
        <translation>gekürzt</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>empty snippet</source>
        <translation>leerer Textbaustein</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Saved %1 of %2: %3</source>
        <translation>Gespeichert, %1 von %2: %3</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Saved %1 of %2: %3, %4</source>
        <translation>Gespeichert, %1 von %2: %3, %4</translation>
    </message>
</context>
<context>
    <name>nookary::SavedSnippetsCommand</name>
    <message>
        <location filename="../src/app/SavedSnippetsCommand.cpp" line="+61"/>
        <source>cannot read the settings file %1 (%2)</source>
        <translation>die Einstellungsdatei %1 lässt sich nicht lesen (%2)</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>not a regular file</source>
        <translation>keine reguläre Datei</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>cannot read the settings file %1 (no room for a temporary copy)</source>
        <translation>die Einstellungsdatei %1 lässt sich nicht lesen (kein Platz für eine vorübergehende Kopie)</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>the settings file %1 is damaged: its saved snippets cannot be read</source>
        <translation>die Einstellungsdatei %1 ist beschädigt: Die darin gespeicherten Textbausteine lassen sich nicht lesen</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>cannot write %1; nothing was imported</source>
        <translation>%1 lässt sich nicht schreiben; es wurde nichts importiert</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>the settings file %1 could not be written; nothing was imported</source>
        <translation>die Einstellungsdatei %1 ließ sich nicht schreiben; es wurde nichts importiert</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Nookary quit as the import was sent; nothing was imported. Try again.</source>
        <translation>Nookary wurde beendet, während der Import gesendet wurde; es wurde nichts importiert. Versuchen Sie es noch einmal.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>the running Nookary refused the import (%1); nothing was imported</source>
        <translation>das laufende Nookary hat den Import abgelehnt (%1); es wurde nichts importiert</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>the running Nookary did not answer, so it is not known whether it took the import. See what is saved with: Nookary --saved</source>
        <translation>das laufende Nookary hat nicht geantwortet; ob es den Import angenommen hat, ist unbekannt. Was gespeichert ist, zeigt: Nookary --saved</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>the running Nookary sent an answer that cannot be read</source>
        <translation>das laufende Nookary hat eine unlesbare Antwort geschickt</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Nookary is running but did not answer; try again in a moment.</source>
        <translation>Nookary läuft, hat aber nicht geantwortet; versuchen Sie es gleich noch einmal.</translation>
    </message>
    <message>
        <location line="+22"/>
        <location line="+6"/>
        <source>%1: %2 Nothing was imported.</source>
        <translation>%1: %2 Es wurde nichts importiert.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>For plain text with one snippet per line: Nookary --import-saved --lines %1</source>
        <translation>Für reinen Text mit einem Textbaustein je Zeile: Nookary --import-saved --lines %1</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Nookary is starting but has not finished; nothing was imported. Try again in a moment.</source>
        <translation>Nookary startet gerade und ist noch nicht fertig; es wurde nichts importiert. Versuchen Sie es gleich noch einmal.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>cannot make the lock %1; nothing was imported</source>
        <translation>die Sperrdatei %1 lässt sich nicht anlegen; es wurde nichts importiert</translation>
    </message>
</context>
<context>
    <name>nookary::ShelfRow</name>
    <message>
        <location filename="../src/ui/panel/ShelfRow.cpp" line="-422"/>
        <source>Drag to reorder</source>
        <translation>Ziehen zum Umsortieren</translation>
    </message>
    <message>
        <location line="+154"/>
        <source>Edit (%1)</source>
        <translation>Bearbeiten (%1)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Delete (%1)</source>
        <translation>Löschen (%1)</translation>
    </message>
    <message>
        <location line="+1"/>
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
        <location filename="../src/ui/recorder/HotkeyRecorderControl.cpp" line="+70"/>
        <source>Press a new shortcut now. Press Esc to cancel.</source>
        <translation>Drücken Sie jetzt ein neues Tastenkürzel. Esc bricht ab.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Click to set a new keyboard shortcut.</source>
        <translation>Klicken, um ein neues Tastenkürzel festzulegen.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Keyboard shortcut, recording: press the new shortcut, or Escape to cancel</source>
        <translation>Tastenkürzel, Aufnahme läuft: Drücken Sie das neue Tastenkürzel oder Escape zum Abbrechen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Keyboard shortcut: %1</source>
        <translation>Tastenkürzel: %1</translation>
    </message>
</context>
<context>
    <name>nookary::ShortcutGuide</name>
    <message>
        <location filename="../src/ui/ShortcutGuide.cpp" line="+72"/>
        <source>Run these lines in a terminal: they add Super+Shift+V to your custom shortcuts and keep the others.</source>
        <translation>Führen Sie diese Zeilen in einem Terminal aus: Sie fügen Super+Umschalt+V zu Ihren eigenen Tastenkürzeln hinzu und lassen die anderen, wie sie sind.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>In System Settings, Shortcuts, choose Add New, Command or Script, enter this command and record a key:</source>
        <translation>Wählen Sie in den Systemeinstellungen unter „Kurzbefehle“ „Neu hinzufügen“ und „Befehl oder Skript“, geben Sie diesen Befehl ein und nehmen Sie eine Taste auf:</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Add this line to ~/.config/sway/config, then reload sway (Super+Shift+C):</source>
        <translation>Fügen Sie diese Zeile in ~/.config/sway/config ein und laden Sie sway dann neu (Super+Umschalt+C):</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>GNOME</source>
        <translation>GNOME</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>KDE Plasma</source>
        <translation>KDE Plasma</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>sway</source>
        <translation>sway</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Desktop</source>
        <translation>Desktop</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Puts the commands on the clipboard</source>
        <translation>Legt die Befehle in die Zwischenablage</translation>
    </message>
    <message>
        <location line="+3"/>
        <location line="+10"/>
        <source>Copied</source>
        <translation>Kopiert</translation>
    </message>
    <message>
        <location line="-10"/>
        <location line="+7"/>
        <location line="+57"/>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <location line="-45"/>
        <source>Commands to type</source>
        <translation>Einzugebende Befehle</translation>
    </message>
</context>
<context>
    <name>nookary::SnippetEditor</name>
    <message>
        <location filename="../src/ui/panel/ShelfRow.cpp" line="-84"/>
        <source>Snippet text</source>
        <translation>Text des Textbausteins</translation>
    </message>
</context>
<context>
    <name>nookary::SnippetTransfer</name>
    <message>
        <location filename="../src/model/SnippetTransfer.cpp" line="+41"/>
        <source>Not a snippet export (%1 on line %2).</source>
        <translation>Kein Export von Textbausteinen (%1 in Zeile %2).</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Not a snippet export: a JSON array of objects with &quot;text&quot; was expected.</source>
        <translation>Kein Export von Textbausteinen: Erwartet wurde ein JSON-Array von Objekten mit &quot;text&quot;.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Not a snippet export: item %1 is not an object with a &quot;text&quot; string.</source>
        <translation>Kein Export von Textbausteinen: Eintrag %1 ist kein Objekt mit einer Zeichenkette &quot;text&quot;.</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Not UTF-8 text.</source>
        <translation>Kein UTF-8-Text.</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Not text: line %1 holds a control character (U+%2).</source>
        <translation>Kein Text: Zeile %1 enthält ein Steuerzeichen (U+%2).</translation>
    </message>
    <message>
        <location line="+37"/>
        <source>That is Nookary&apos;s settings file or a copy kept beside it; choose another file.</source>
        <translation>Das ist die Einstellungsdatei von Nookary oder eine daneben aufbewahrte Kopie; wählen Sie eine andere Datei.</translation>
    </message>
    <message>
        <location line="+3"/>
        <location line="+107"/>
        <source>It is a folder.</source>
        <translation>Das ist ein Ordner.</translation>
    </message>
    <message>
        <location line="-104"/>
        <location line="+105"/>
        <source>It is not a regular file.</source>
        <translation>Das ist keine reguläre Datei.</translation>
    </message>
    <message>
        <location line="-102"/>
        <source>The folder %1 does not exist.</source>
        <translation>Den Ordner %1 gibt es nicht.</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>It is read-only.</source>
        <translation>Die Datei ist schreibgeschützt.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The folder %1 is not writable.</source>
        <translation>In den Ordner %1 lässt sich nicht schreiben.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The folder %1 takes no new files.</source>
        <translation>Der Ordner %1 nimmt keine neuen Dateien auf.</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>Larger than %1 MiB, far more than saved snippets take.</source>
        <translation>Größer als %1 MiB, weit mehr, als gespeicherte Textbausteine brauchen.</translation>
    </message>
    <message>
        <location line="+85"/>
        <source>The file holds no snippets; nothing was imported.</source>
        <translation>Die Datei enthält keine Textbausteine; es wurde nichts importiert.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>No snippet was imported.</source>
        <translation>Es wurde kein Textbaustein importiert.</translation>
    </message>
    <message numerus="yes">
        <location line="+1"/>
        <source>Imported %Ln snippet(s).</source>
        <translation>
            <numerusform>%Ln Textbaustein importiert.</numerusform>
            <numerusform>%Ln Textbausteine importiert.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+3"/>
        <source>Skipped %Ln already saved.</source>
        <translation>
            <numerusform>%Ln bereits gespeicherter übersprungen.</numerusform>
            <numerusform>%Ln bereits gespeicherte übersprungen.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+3"/>
        <source>%Ln did not fit: at most %1 snippets can be saved.</source>
        <translation>
            <numerusform>%Ln passte nicht mehr: Höchstens %1 Textbausteine lassen sich speichern.</numerusform>
            <numerusform>%Ln passten nicht mehr: Höchstens %1 Textbausteine lassen sich speichern.</numerusform>
        </translation>
    </message>
    <message>
        <location line="-117"/>
        <location line="+59"/>
        <source>Cannot be written: %1.</source>
        <translation>Lässt sich nicht schreiben: %1.</translation>
    </message>
    <message>
        <location line="+37"/>
        <source>Cannot be read: %1.</source>
        <translation>Lässt sich nicht lesen: %1.</translation>
    </message>
</context>
<context>
    <name>nookary::TrayController</name>
    <message>
        <location filename="../src/app/TrayController.cpp" line="+36"/>
        <source>Open Nookary</source>
        <translation>Nookary öffnen</translation>
    </message>
    <message>
        <location line="+2"/>
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
        <location line="+22"/>
        <source>%1 is in use by another program, so it does not open Nookary. Choose another shortcut under Preferences in Nookary&apos;s tray menu.</source>
        <translation>%1 ist von einem anderen Programm belegt und öffnet Nookary deshalb nicht. Wählen Sie ein anderes Tastenkürzel unter „Einstellungen…“ im Menü von Nookary im Infobereich.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Shortcut is unavailable</source>
        <translation>Tastenkürzel nicht verfügbar</translation>
    </message>
    <message>
        <location line="-2"/>
        <source>%1 is in use by another program, so it does not open Nookary now. It stays your shortcut and is tried again at the next start; Preferences can change it.</source>
        <translation>%1 ist von einem anderen Programm belegt und öffnet Nookary deshalb gerade nicht. Es bleibt Ihr Tastenkürzel und wird beim nächsten Start erneut versucht; in den Einstellungen können Sie es ändern.</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>About Nookary</source>
        <translation>Über Nookary</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Your clipboard history and saved snippets, at hand.</source>
        <translation>Ihr Verlauf der Zwischenablage und Ihre gespeicherten Textbausteine, stets zur Hand.</translation>
    </message>
</context>
<context>
    <name>nookary::UndoBar</name>
    <message>
        <location filename="../src/ui/panel/UndoBar.cpp" line="+73"/>
        <source>Deleted.</source>
        <translation>Gelöscht.</translation>
    </message>
    <message>
        <location line="-52"/>
        <source>Undo</source>
        <translation>Rückgängig</translation>
    </message>
    <message>
        <location line="+53"/>
        <source>Deleted. %1 puts it back.</source>
        <translation>Gelöscht. %1 holt es zurück.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Saved is full, so it cannot go back.</source>
        <translation>„Gespeichert“ ist voll, daher lässt es sich nicht zurückholen.</translation>
    </message>
    <message numerus="yes">
        <location line="+1"/>
        <source>It cannot go back: the history keeps only the newest %Ln.</source>
        <translation>
            <numerusform>Es lässt sich nicht zurückholen: Der Verlauf behält nur %Ln Eintrag, den neuesten.</numerusform>
            <numerusform>Es lässt sich nicht zurückholen: Der Verlauf behält nur die neuesten %Ln.</numerusform>
        </translation>
    </message>
    <message>
        <location line="-40"/>
        <source>Undo (%1)</source>
        <translation>Rückgängig (%1)</translation>
    </message>
</context>
</TS>
