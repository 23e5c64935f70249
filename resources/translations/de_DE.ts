<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>global</name>
    <message>
        <source>B</source>
        <translation>B</translation>
    </message>
    <message>
        <source>KB</source>
        <translation>KB</translation>
    </message>
    <message>
        <source>MB</source>
        <translation>MB</translation>
    </message>
    <message>
        <source>GB</source>
        <translation>GB</translation>
    </message>
    <message>
        <source>TB</source>
        <translation>TB</translation>
    </message>
    <message>
        <source>Open application</source>
        <translation type="vanished">Anwendung öffnen</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation type="vanished">Einstellungen</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation type="vanished">Beenden</translation>
    </message>
    <message>
        <source>%1 free of %2</source>
        <translation type="vanished">%1 frei von %2</translation>
    </message>
    <message>
        <source>Navigation System</source>
        <translation type="vanished">Navigationssystem</translation>
    </message>
</context>
</TS>
