<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>veldo::ExchangeOutcome</name>
    <message>
        <source>Error: Checksum Error</source>
        <translation>Fehler: Prüfsummenfehler</translation>
    </message>
    <message>
        <source>Success: Upload OK</source>
        <translation>Erfolg: Übertragung bestätigt</translation>
    </message>
    <message>
        <source>Error: Checksum error</source>
        <translation>Fehler: Prüfsummenfehler, vom Gerät abgelehnt</translation>
    </message>
    <message>
        <source>Error: Communication time-out</source>
        <translation>Fehler: Zeitüberschreitung der Verbindung</translation>
    </message>
</context>
<context>
    <name>veldo::FileDialog</name>
    <message>
        <source>Config Files (*.ini)</source>
        <translation>Konfigurationsdateien (*.ini)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>Alle Dateien (*)</translation>
    </message>
</context>
<context>
    <name>veldo::FileReason</name>
    <message>
        <source>Operation not permitted</source>
        <translation>Vorgang nicht zulässig</translation>
    </message>
    <message>
        <source>No such file or directory</source>
        <translation>Datei oder Ordner nicht vorhanden</translation>
    </message>
    <message>
        <source>Interrupted system call</source>
        <translation>Systemaufruf unterbrochen</translation>
    </message>
    <message>
        <source>Input/output error</source>
        <translation>Ein-/Ausgabefehler</translation>
    </message>
    <message>
        <source>No such device or address</source>
        <translation>Gerät oder Adresse nicht vorhanden</translation>
    </message>
    <message>
        <source>Resource temporarily unavailable</source>
        <translation>Vorübergehend nicht verfügbar</translation>
    </message>
    <message>
        <source>Cannot allocate memory</source>
        <translation>Nicht genug Speicher</translation>
    </message>
    <message>
        <source>Permission denied</source>
        <translation>Keine Berechtigung</translation>
    </message>
    <message>
        <source>Device or resource busy</source>
        <translation>Gerät oder Ressource belegt</translation>
    </message>
    <message>
        <source>File exists</source>
        <translation>Die Datei gibt es schon</translation>
    </message>
    <message>
        <source>Invalid cross-device link</source>
        <translation>Verknüpfung über Dateisysteme hinweg nicht möglich</translation>
    </message>
    <message>
        <source>No such device</source>
        <translation>Gerät nicht vorhanden</translation>
    </message>
    <message>
        <source>Not a directory</source>
        <translation>Kein Ordner</translation>
    </message>
    <message>
        <source>Is a directory</source>
        <translation>Ist ein Ordner</translation>
    </message>
    <message>
        <source>Invalid argument</source>
        <translation>Ungültiges Argument</translation>
    </message>
    <message>
        <source>Too many open files in system</source>
        <translation>Zu viele offene Dateien im System</translation>
    </message>
    <message>
        <source>Too many open files</source>
        <translation>Zu viele offene Dateien</translation>
    </message>
    <message>
        <source>Text file busy</source>
        <translation>Programmdatei belegt</translation>
    </message>
    <message>
        <source>File too large</source>
        <translation>Datei zu groß</translation>
    </message>
    <message>
        <source>No space left on device</source>
        <translation>Kein Platz mehr auf dem Datenträger</translation>
    </message>
    <message>
        <source>Read-only file system</source>
        <translation>Dateisystem nur lesbar</translation>
    </message>
    <message>
        <source>Too many links</source>
        <translation>Zu viele Verknüpfungen</translation>
    </message>
    <message>
        <source>File name too long</source>
        <translation>Dateiname zu lang</translation>
    </message>
    <message>
        <source>Directory not empty</source>
        <translation>Ordner nicht leer</translation>
    </message>
    <message>
        <source>Too many levels of symbolic links</source>
        <translation>Zu viele Ebenen symbolischer Verknüpfungen</translation>
    </message>
    <message>
        <source>Value too large for defined data type</source>
        <translation>Wert zu groß für den Datentyp</translation>
    </message>
    <message>
        <source>Operation not supported</source>
        <translation>Vorgang nicht unterstützt</translation>
    </message>
    <message>
        <source>Stale file handle</source>
        <translation>Veralteter Dateizugriff</translation>
    </message>
    <message>
        <source>Disk quota exceeded</source>
        <translation>Speicherkontingent überschritten</translation>
    </message>
    <message>
        <source>No file name given</source>
        <translation>Kein Dateiname angegeben</translation>
    </message>
    <message>
        <source>The folder does not exist</source>
        <translation>Den Ordner gibt es nicht</translation>
    </message>
    <message>
        <source>No such file</source>
        <translation>Die Datei gibt es nicht</translation>
    </message>
    <message>
        <source>The name is a folder, not a file</source>
        <translation>Der Name ist ein Ordner, keine Datei</translation>
    </message>
    <message>
        <source>The name is not a plain file</source>
        <translation>Der Name ist keine gewöhnliche Datei</translation>
    </message>
    <message>
        <source>The file is %1, more than a configuration file can be (%2)</source>
        <translation>Die Datei ist %1 groß, größer als eine Konfigurationsdatei sein kann (%2)</translation>
    </message>
    <message>
        <source>The file would be %1, more than a configuration file can be (%2); it was left as it was</source>
        <translation>Die Datei würde %1 groß, größer als eine Konfigurationsdatei sein kann (%2); sie blieb, wie sie war</translation>
    </message>
    <message>
        <source>The file changed while it was being saved; nothing was written</source>
        <translation>Die Datei wurde beim Speichern verändert; es wurde nichts geschrieben</translation>
    </message>
    <message>
        <source>%1 is a symbolic link that another user put in a shared folder; it is not followed</source>
        <translation>%1 ist eine symbolische Verknüpfung, die ein anderer Benutzer in einen gemeinsamen Ordner gelegt hat; ihr wird nicht gefolgt</translation>
    </message>
    <message>
        <source>The file holds no configuration: no value in the sections Output0 to OutputF</source>
        <translation>Die Datei enthält keine Konfiguration: kein Wert in den Abschnitten Output0 bis OutputF</translation>
    </message>
    <message>
        <source>A name or value holds a character that an INI file cannot store</source>
        <translation>Ein Name oder Wert enthält ein Zeichen, das eine INI-Datei nicht speichern kann</translation>
    </message>
    <message>
        <source>Not enough memory to work on the file; it was left as it was</source>
        <translation>Nicht genug Speicher für die Datei; sie blieb, wie sie war</translation>
    </message>
    <message>
        <source>every name for %1 is taken</source>
        <translation>jeder Name für %1 ist vergeben</translation>
    </message>
    <message>
        <source>; the file could not be restored and may be damaged</source>
        <translation>; die Datei konnte nicht wiederhergestellt werden und ist vielleicht beschädigt</translation>
    </message>
    <message>
        <source>error %1 (%2) of the system</source>
        <extracomment>An error of the system that no file operation is known to meet: %1 its number, %2 its name such as ESRCH.</extracomment>
        <translation>Systemfehler %1 (%2)</translation>
    </message>
</context>
<context>
    <name>veldo::NetworkLine</name>
    <message>
        <source>the network library could not start</source>
        <translation>die Netzwerkbibliothek konnte nicht starten</translation>
    </message>
    <message>
        <source> (%1)</source>
        <translation> (%1)</translation>
    </message>
    <message>
        <source>%1 refused the connection: nothing serves that port there</source>
        <translation>%1 hat die Verbindung abgelehnt: dort bedient nichts diesen Port</translation>
    </message>
    <message>
        <source>%1: unknown host</source>
        <translation>%1: unbekannter Rechner</translation>
    </message>
    <message>
        <source>%1 did not answer within %2 s</source>
        <translation>%1 hat nicht binnen %2 s geantwortet</translation>
    </message>
    <message>
        <source>%1: the server&apos;s certificate is not trusted%2</source>
        <translation>%1: dem Zertifikat des Servers wird nicht vertraut%2</translation>
    </message>
    <message>
        <source>%1: the server&apos;s certificate is not made out to %2</source>
        <translation>%1: das Zertifikat des Servers ist nicht auf %2 ausgestellt</translation>
    </message>
    <message>
        <source>%1: the server says the port is in use by another connection</source>
        <translation>%1: laut Server ist die Schnittstelle von einer anderen Verbindung belegt</translation>
    </message>
    <message>
        <source>%1 does not take the line settings (is RFC 2217 on?)%2</source>
        <translation>%1 nimmt die Leitungseinstellungen nicht an (ist RFC 2217 eingeschaltet?)%2</translation>
    </message>
    <message>
        <source>%1: the connection was lost%2</source>
        <translation>%1: die Verbindung ist abgerissen%2</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
</context>
<context>
    <name>veldo::PortAdvice</name>
    <message>
        <source>No serial port is open.</source>
        <translation>Es ist keine serielle Schnittstelle geöffnet.</translation>
    </message>
    <message>
        <source>%1 could not be opened: %2</source>
        <translation>%1 konnte nicht geöffnet werden: %2</translation>
    </message>
    <message>
        <source>in use by %1</source>
        <translation>belegt von %1</translation>
    </message>
    <message>
        <source>%1 was left in exclusive mode, and no lock file or program that can be seen holds it: a program probably ended without closing it. Unplug the adapter and plug it in again to clear it</source>
        <translation>%1 ist im exklusiven Modus geblieben, und keine Sperrdatei und kein sichtbares Programm hält es: vermutlich endete ein Programm, ohne es zu schließen. Ziehen Sie den Adapter ab und stecken Sie ihn wieder ein</translation>
    </message>
    <message>
        <source>%1 has gone</source>
        <translation>%1 ist verschwunden</translation>
    </message>
    <message>
        <source>no serial hardware answers behind %1</source>
        <translation>hinter %1 antwortet keine serielle Hardware</translation>
    </message>
    <message>
        <source>%1 is not a serial device</source>
        <translation>%1 ist kein serielles Gerät</translation>
    </message>
    <message>
        <source>in use by a program that locks it (flock)</source>
        <translation>belegt von einem Programm, das es sperrt (flock)</translation>
    </message>
    <message>
        <source>a regular file</source>
        <translation>eine gewöhnliche Datei</translation>
    </message>
    <message>
        <source>a folder</source>
        <translation>ein Ordner</translation>
    </message>
    <message>
        <source>a named pipe</source>
        <translation>eine benannte Pipe</translation>
    </message>
    <message>
        <source>a socket</source>
        <translation>ein Socket</translation>
    </message>
    <message>
        <source>a block device</source>
        <translation>ein Blockgerät</translation>
    </message>
    <message>
        <source>a symbolic link</source>
        <translation>ein symbolischer Link</translation>
    </message>
    <message>
        <source>a device of another kind</source>
        <translation>ein Gerät anderer Art</translation>
    </message>
    <message>
        <source>the lock file %1 is %2, not a lock file</source>
        <translation>die Sperrdatei %1 ist %2, keine Sperrdatei</translation>
    </message>
    <message>
        <source>this program</source>
        <translation>dieses Programm</translation>
    </message>
    <message>
        <source>another copy of this tool (%1, PID %2)</source>
        <translation>eine weitere Instanz dieses Programms (%1, PID %2)</translation>
    </message>
    <message>
        <source>the linked adapter is not plugged in</source>
        <translation>der verlinkte Adapter ist nicht eingesteckt</translation>
    </message>
    <message>
        <source>the linked adapters are not plugged in</source>
        <translation>die verlinkten Adapter sind nicht eingesteckt</translation>
    </message>
    <message>
        <source>%1 more ports need action: see the port list&apos;s tooltip or veldo-cli ports.</source>
        <translation>%1 weitere Schnittstellen brauchen Aufmerksamkeit: siehe den Tooltip der Schnittstellenliste oder veldo-cli ports.</translation>
    </message>
    <message>
        <source>No serial adapter was found.</source>
        <translation>Es wurde kein serieller Adapter gefunden.</translation>
    </message>
    <message>
        <source>No serial adapter was found. Looked for: %1.</source>
        <translation>Es wurde kein serieller Adapter gefunden. Gesucht: %1.</translation>
    </message>
    <message>
        <source>To use another device as Com N, make %1/comN a link to it, for example to its name in /dev/serial/by-id/.</source>
        <translation>Um ein anderes Gerät als Com N zu nutzen, legen Sie %1/comN als Link darauf an, etwa auf seinen Namen in /dev/serial/by-id/.</translation>
    </message>
    <message>
        <source>no permission to open %1, which belongs to the group %2 (%3)</source>
        <translation>keine Berechtigung, %1 zu öffnen; es gehört der Gruppe %2 (%3)</translation>
    </message>
    <message>
        <source>: %1 is in the group %2, but this session started before that; log out and in again</source>
        <translation>: %1 ist in der Gruppe %2, aber diese Sitzung begann davor; melden Sie sich ab und wieder an</translation>
    </message>
    <message>
        <source>: ask the administrator for access to it</source>
        <translation>: bitten Sie den Administrator um Zugriff</translation>
    </message>
    <message>
        <source>: add your user to the group %1 (sudo adduser %2 %1), then log out and in again</source>
        <translation>: nehmen Sie Ihren Benutzer in die Gruppe %1 auf (sudo adduser %2 %1), dann melden Sie sich ab und wieder an</translation>
    </message>
    <message>
        <source>ModemManager runs on this machine; it is known to seize USB serial adapters for a while after they are plugged in. To keep it away from the adapter, give it the udev property ID_MM_DEVICE_IGNORE=1 in a rule under /etc/udev/rules.d/, or stop it: sudo systemctl stop ModemManager.</source>
        <translation>ModemManager läuft auf diesem Rechner; er belegt USB-Seriell-Adapter bekanntlich eine Weile, nachdem sie eingesteckt wurden. Um ihn vom Adapter fernzuhalten, geben Sie dem Adapter die udev-Eigenschaft ID_MM_DEVICE_IGNORE=1 in einer Regel unter /etc/udev/rules.d/, oder beenden Sie ihn: sudo systemctl stop ModemManager.</translation>
    </message>
    <message>
        <source>brltty runs on this machine; its udev rules claim some USB serial adapters as braille displays. Without a braille display, remove it (sudo apt remove brltty) or its udev rule, then plug the adapter in again.</source>
        <translation>brltty läuft auf diesem Rechner; seine udev-Regeln halten manche USB-Seriell-Adapter für Braillezeilen. Ohne Braillezeile entfernen Sie es (sudo apt remove brltty) oder seine udev-Regel und stecken den Adapter dann neu ein.</translation>
    </message>
    <message>
        <source>Free now: %1. Choose one in the port list.</source>
        <translation>Jetzt frei: %1. Wählen Sie eine in der Schnittstellenliste.</translation>
    </message>
    <message>
        <source>%1 is a loop of symbolic links</source>
        <translation>%1 ist eine Schleife symbolischer Links</translation>
    </message>
    <message>
        <source>%1 leads to %2, which does not exist: is the adapter plugged in?</source>
        <translation>%1 führt zu %2, das es nicht gibt: ist der Adapter eingesteckt?</translation>
    </message>
    <message>
        <source>%1 does not exist</source>
        <translation>%1 existiert nicht</translation>
    </message>
    <message>
        <source>in use by %1, which holds its lock file</source>
        <translation>belegt von %1, das seine Sperrdatei hält</translation>
    </message>
    <message>
        <source>in use by %1, which locks it (flock)</source>
        <translation>belegt von %1, das es sperrt (flock)</translation>
    </message>
    <message>
        <source>no device is assigned to this number</source>
        <translation>dieser Nummer ist kein Gerät zugeordnet</translation>
    </message>
    <message>
        <source>%1 is %2, not a serial device</source>
        <translation>%1 ist %2, kein serielles Gerät</translation>
    </message>
</context>
<context>
    <name>veldo::PortCombo</name>
    <message>
        <source>A port on %1, reached over the network</source>
        <translation>Eine Schnittstelle auf %1, über das Netzwerk erreicht</translation>
    </message>
</context>
<context>
    <name>veldo::RemotePortAddress</name>
    <message>
        <source>%1 starts with neither rfc2217:// nor rfc2217+tls://</source>
        <translation>%1 beginnt weder mit rfc2217:// noch mit rfc2217+tls://</translation>
    </message>
    <message>
        <source>%1 names no host</source>
        <translation>%1 nennt keinen Rechner</translation>
    </message>
    <message>
        <source>%1: the host is no valid host name (letters, digits, &apos;-&apos; and &apos;.&apos;)</source>
        <translation>%1: der Rechner ist kein gültiger Rechnername (Buchstaben, Ziffern, &apos;-&apos; und &apos;.&apos;)</translation>
    </message>
    <message>
        <source>%1: the host is no valid IPv4 address</source>
        <translation>%1: der Rechner ist keine gültige IPv4-Adresse</translation>
    </message>
    <message>
        <source>%1: the brackets hold no valid IPv6 address</source>
        <translation>%1: in den eckigen Klammern steht keine gültige IPv6-Adresse</translation>
    </message>
    <message>
        <source>%1: an IPv6 address must be written in brackets, as in rfc2217://[::1]:3001</source>
        <translation>%1: eine IPv6-Adresse muss in eckigen Klammern stehen, wie in rfc2217://[::1]:3001</translation>
    </message>
    <message>
        <source>%1 names no port: add :PORT after the host</source>
        <translation>%1 nennt keinen Port: fügen Sie :PORT nach dem Rechner an</translation>
    </message>
    <message>
        <source>%1: the port must be a number from 1 to 65535</source>
        <translation>%1: der Port muss eine Zahl von 1 bis 65535 sein</translation>
    </message>
    <message>
        <source>%1: only ?ca=FILE may follow the port</source>
        <translation>%1: nach dem Port darf nur ?ca=DATEI folgen</translation>
    </message>
    <message>
        <source>%1: a CA file needs rfc2217+tls://</source>
        <translation>%1: eine CA-Datei braucht rfc2217+tls://</translation>
    </message>
    <message>
        <source>%1: the CA file must be an absolute path without spaces, commas, parentheses, quotes or backslashes</source>
        <translation>%1: die CA-Datei muss ein absoluter Pfad ohne Leerzeichen, Kommas, Klammern, Anführungszeichen oder Backslashes sein</translation>
    </message>
</context>
<context>
    <name>veldo::TypeGroup</name>
    <message>
        <source>Slave</source>
        <translation>Neben</translation>
    </message>
    <message>
        <source>Master</source>
        <translation>Haupt</translation>
    </message>
    <message>
        <source>Pulse</source>
        <translation>Impuls</translation>
    </message>
    <message>
        <source>Toggle</source>
        <translation>Wechsel</translation>
    </message>
    <message>
        <source>Output %1, %2</source>
        <translation>Ausgang %1, %2</translation>
    </message>
</context>
<context>
    <name>veldo::frmVeldo</name>
    <message>
        <source>Ctrl+O opens a configuration file and Ctrl+S saves it. Ctrl+Z brings back what was shown before the last Clear All, Open, Download or change of a field; Ctrl+Shift+Z or Ctrl+Y goes forward again.</source>
        <translation>Strg+O öffnet eine Konfigurationsdatei, Strg+S speichert sie. Strg+Z holt zurück, was vor dem letzten Alles löschen, Öffnen, Auslesen oder der letzten Änderung eines Feldes zu sehen war; Strg+Umschalt+Z oder Strg+Y geht wieder vor.</translation>
    </message>
    <message>
        <source>Serial port</source>
        <translation>Serielle Schnittstelle</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>Auslesen</translation>
    </message>
    <message>
        <source>Upload</source>
        <translation>Übertragen</translation>
    </message>
    <message>
        <source>Clear All</source>
        <translation>Alles löschen</translation>
    </message>
    <message>
        <source>Output %1:</source>
        <translation>Ausgang %1:</translation>
    </message>
    <message>
        <source>Output %1, Code A</source>
        <translation>Ausgang %1, Code A</translation>
    </message>
    <message>
        <source>Output %1, Code B</source>
        <translation>Ausgang %1, Code B</translation>
    </message>
    <message>
        <source>Veldo ProgrammingTool © 2026 The Veldo developers</source>
        <translation>Veldo ProgrammingTool © 2026 Die Veldo-Entwickler</translation>
    </message>
    <message>
        <source>Download: Wait for answer</source>
        <translation>Auslesen: Warte auf Antwort</translation>
    </message>
    <message>
        <source>Upload: Wait for acknowledge</source>
        <translation>Übertragen: Warte auf Bestätigung</translation>
    </message>
    <message>
        <source>Download complete</source>
        <translation>Auslesen abgeschlossen</translation>
    </message>
    <message>
        <source>Could not open %1:
%2</source>
        <translation>%1 konnte nicht geöffnet werden:
%2</translation>
    </message>
    <message>
        <source>Could not save to %1:
%2</source>
        <translation>%1 konnte nicht gespeichert werden:
%2</translation>
    </message>
    <message>
        <source>Com%1 is closed: its device has gone</source>
        <translation>Com%1 ist geschlossen: sein Gerät ist verschwunden</translation>
    </message>
    <message>
        <source>Download not kept: %1</source>
        <translation>Ausgelesenes nicht aufbewahrt: %1</translation>
    </message>
    <message>
        <source>The configuration read from the box could not be kept in %1: %2</source>
        <translation>Die aus dem Gerät gelesene Konfiguration konnte nicht in %1 aufbewahrt werden: %2</translation>
    </message>
    <message>
        <source>Connecting to %1…</source>
        <translation>Verbinde mit %1…</translation>
    </message>
    <message>
        <source>Com%1 is closed: its connection to %2 was lost</source>
        <translation>Com%1 ist geschlossen: die Verbindung zu %2 ist abgerissen</translation>
    </message>
</context>
</TS>
