<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it_IT" sourcelanguage="it_IT">
<context>
    <name>DataEditDialog</name>
    <message>
        <source>Il titolo di tutte le song della lista verrà sovrascritto non il nome del file, sei sicuro?</source>
        <translation>Il titolo di tutte le song della lista verrà sovrascritto con il nome del file, sei sicuro?</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Remove from list</source>
        <translation>Rimuovi dalla lista</translation>
    </message>
    <message>
        <source>Delete file</source>
        <translation>Elimina file</translation>
    </message>
</context>
<context>
    <name>ManualEdit</name>
    <message>
        <source>Sei sicuro di voler cancellare il file?</source>
        <translation>Sei sicuro di voler eliminare definitivamente il file?</translation>
    </message>
</context>
</TS>
