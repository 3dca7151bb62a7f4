<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_GB" sourcelanguage="it_IT">
<!-- Folder import, the table's search and the memory view. -->
    <context>
        <name>MainWindow</name>
        <message>
            <source>Cerca</source>
            <translation>Search</translation>
        </message>
        <message>
            <source>Importa cartella...</source>
            <translation>Import folder...</translation>
        </message>
        <message>
            <source>Mostra memoria...</source>
            <translation>Show memory...</translation>
        </message>
        <message>
            <source>Importa cartella</source>
            <translation>Import folder</translation>
        </message>
        <message>
            <source>Nessuna song trovata in:
%1</source>
            <translation>No song found in:
%1</translation>
        </message>
        <message>
            <source>Seleziona la cartella da importare</source>
            <translation>Select the folder to import</translation>
        </message>
    </context>
    <context>
        <name>MemoryWindow</name>
        <message>
            <source>%1 (%2)</source>
            <translation>%1 (%2)</translation>
        </message>
        <message>
            <source>%1 song, di cui %2 MP3; %3 playlist.</source>
            <translation>%1 songs, %2 of them MP3; %3 playlists.</translation>
        </message>
        <message>
            <source>(vuoto)</source>
            <translation>(empty)</translation>
        </message>
        <message>
            <source>Aggiorna indice</source>
            <translation>Update index</translation>
        </message>
        <message>
            <source>Aggiornamento indice...</source>
            <translation>Updating index...</translation>
        </message>
        <message>
            <source>Aggiornamento</source>
            <translation>Update</translation>
        </message>
        <message>
            <source>Artista / titolo</source>
            <translation>Artist / title</translation>
        </message>
        <message>
            <source>Chiudi</source>
            <translation>Close</translation>
        </message>
        <message>
            <source>Controllo indice</source>
            <translation>Index check</translation>
        </message>
        <message>
            <source>Elenco:</source>
            <translation>List:</translation>
        </message>
        <message>
            <source>Genere / titolo</source>
            <translation>Genre / title</translation>
        </message>
        <message>
            <source>L&apos;indice della memoria è aggiornato.</source>
            <translation>The memory&apos;s index is up to date.</translation>
        </message>
        <message>
            <source>La cartella scelta non esiste.</source>
            <translation>The chosen folder does not exist.</translation>
        </message>
        <message>
            <source>Marker</source>
            <translation>Markers</translation>
        </message>
        <message>
            <source>Memoria di Quenor</source>
            <translation>Quenor memory</translation>
        </message>
        <message>
            <source>Memoria:</source>
            <translation>Memory:</translation>
        </message>
        <message>
            <source>Nessun problema trovato</source>
            <translation>No problem found</translation>
        </message>
        <message>
            <source>Non è stato possibile aggiornare l&apos;indice della memoria.</source>
            <translation>The memory&apos;s index could not be updated.</translation>
        </message>
        <message>
            <source>Per artista</source>
            <translation>By artist</translation>
        </message>
        <message>
            <source>Per genere</source>
            <translation>By genre</translation>
        </message>
        <message>
            <source>Per titolo</source>
            <translation>By title</translation>
        </message>
        <message>
            <source>Percorso</source>
            <translation>Path</translation>
        </message>
        <message>
            <source>Playlist %1 (file mancante)</source>
            <translation>Playlist %1 (file missing)</translation>
        </message>
        <message>
            <source>Playlist %1</source>
            <translation>Playlist %1</translation>
        </message>
        <message>
            <source>Playlist / titolo</source>
            <translation>Playlist / title</translation>
        </message>
        <message>
            <source>Playlist</source>
            <translation>Playlists</translation>
        </message>
        <message>
            <source>Scegli la memoria di Quenor</source>
            <translation>Choose the Quenor memory</translation>
        </message>
        <message>
            <source>Scegliere la cartella della memoria con &quot;Sfoglia...&quot;.</source>
            <translation>Choose the memory&apos;s folder with &quot;Browse...&quot;.</translation>
        </message>
        <message>
            <source>Sfoglia...</source>
            <translation>Browse...</translation>
        </message>
        <message>
            <source>Solo MP3</source>
            <translation>MP3 only</translation>
        </message>
        <message>
            <source>Sì</source>
            <translation>Yes</translation>
        </message>
        <message>
            <source>Tempo</source>
            <translation>Tempo</translation>
        </message>
        <message>
            <source>Tipo</source>
            <translation>Type</translation>
        </message>
        <message>
            <source>Titolo</source>
            <translation>Title</translation>
        </message>
        <message>
            <source>Tutte le song</source>
            <translation>All songs</translation>
        </message>
        <message>
            <source>nessuna song</source>
            <translation>no song</translation>
        </message>
        <message>
            <source>La memoria non è preparata: mancano i file dell&apos;indice. &quot;Aggiorna indice&quot; la prepara.</source>
            <translation>The memory is not prepared: its index files are missing. &quot;Update index&quot; prepares it.</translation>
        </message>
        <message>
            <source>L&apos;indice della memoria è danneggiato e non si può leggere. Rigenerarlo con &quot;Rigenera il database delle song&quot;.</source>
            <translation>The memory&apos;s index is damaged and cannot be read. Rebuild it with &quot;Rebuild songs database&quot;.</translation>
        </message>
    </context>
</TS>
