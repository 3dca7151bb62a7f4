<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it">
<context>
    <name>UserSongsRelTableModel</name>
    <message>
        <source>Tonalita&apos;</source>
        <translation>Tonalità</translation>
    </message>
</context>
</TS>
