<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>Index</name>
    <message>
        <source>Indice non scritto: la memoria contiene %1 song, più delle %2 che Quenor può gestire. L&apos;indice esistente non è stato modificato.</source>
        <translation>Index not written: the memory holds %1 songs, more than the %2 Quenor can handle. The existing index was left unchanged.</translation>
    </message>
    <message>
        <source>verrà rinominato: </source>
        <translation>will be renamed: </translation>
    </message>
    <message>
        <source>Se il file non viene rinominato, è possibile che non venga rilevato da Quenor.</source>
        <translation>If the file is not renamed, it may not be detected by Quenor.</translation>
    </message>
    <message>
        <source>File non importato, errore nel path:</source>
        <translation>File not imported, path error: </translation>
    </message>
    <message>
        <source>File non importato, path troppo lungo: </source>
        <translation>File not imported, path too long: </translation>
    </message>
    <message>
        <source>File non importato, caratteri non ammessi nel nome: </source>
        <translation>File not imported, characters not allowed in the name: </translation>
    </message>
    <message>
        <source>Impossibile mantenere la playlist %1</source>
        <translation>Playlist %1 could not be kept</translation>
    </message>
    <message>
        <source>TITOLO</source>
        <translation>TITLE</translation>
    </message>
    <message>
        <source>ARTISTA</source>
        <translation>ARTIST</translation>
    </message>
    <message>
        <source>GENERE</source>
        <translation>GENRE</translation>
    </message>
    <message>
        <source>FILE</source>
        <translation>FILE</translation>
    </message>
</context>
</TS>
