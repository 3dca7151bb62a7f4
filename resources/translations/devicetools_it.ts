<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it_IT" sourcelanguage="it_IT">
<!-- Only the texts of the device tools whose Italian differs from the source. -->
<context>
    <name>IndexDialog</name>
    <message>
        <source>Dialog</source>
        <translation>Ottimizza memoria</translation>
    </message>
    <message>
        <source>File found:</source>
        <translation>File trovati:</translation>
    </message>
</context>
<context>
    <name>MemoryIndexRun</name>
    <message>
        <source>Salva lista song</source>
        <translation>Salva lista delle song</translation>
    </message>
</context>
<context>
    <name>SongsListDialog</name>
    <message>
        <source>Save song list</source>
        <translation>Salva lista delle song</translation>
    </message>
    <message>
        <source>Browse</source>
        <translation>Sfoglia</translation>
    </message>
    <message>
        <source>File:</source>
        <translation>Nome file:</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Chiudi</translation>
    </message>
    <message>
        <source>Scegli nome del file</source>
        <translation>Scegli il nome del file</translation>
    </message>
</context>
</TS>
