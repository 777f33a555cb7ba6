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
    <name>veldo::PortAdvice</name>
    <message>
        <source>No serial port is open.</source>
        <translation>Es ist keine serielle Schnittstelle geöffnet.</translation>
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
</context>
</TS>
