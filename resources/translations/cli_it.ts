<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it_IT" sourcelanguage="en">
<context>
    <name>CommandParser</name>
    <message>
        <source>Try "%1" for more information.</source>
        <translation>Usare "%1" per maggiori informazioni.</translation>
    </message>
</context>
<context>
    <name>IndexCheck</name>
    <message>
        <source>The memory is not prepared for Quenor: missing %1</source>
        <translation>La memoria non è preparata per Quenor: mancano %1</translation>
    </message>
    <message>
        <source>The index cannot be read back: a file is short or names a song that index.idx lacks</source>
        <translation>Impossibile rileggere l'indice: un file è troncato o nomina una song che manca in index.idx</translation>
    </message>
    <message>
        <source>%1 is indexed more than once</source>
        <translation>%1 compare più volte nell'indice</translation>
    </message>
    <message>
        <source>%1 (id %2) is in the index but not on the memory</source>
        <translation>%1 (id %2) è nell'indice ma non nella memoria</translation>
    </message>
    <message>
        <source>An index update was cut off while writing (%1 left): update the index to make it whole again</source>
        <translation>Un aggiornamento dell'indice è stato interrotto durante la scrittura (rimasti %1): aggiornare l'indice per renderlo di nuovo completo</translation>
    </message>
    <message>
        <source>%1 is on the memory but not in the index</source>
        <translation>%1 è nella memoria ma non nell'indice</translation>
    </message>
    <message>
        <source>Record %1 of index.idx holds the "no song" id</source>
        <translation>Il record %1 di index.idx contiene l'id "nessuna song"</translation>
    </message>
    <message>
        <source>The id %1 is given to more than one song</source>
        <translation>L'id %1 è assegnato a più di una song</translation>
    </message>
    <message>
        <source>index.idx does not hold whole records</source>
        <translation>index.idx non contiene record interi</translation>
    </message>
    <message>
        <source>fsinfos.idx does not hold its %1 bytes</source>
        <translation>fsinfos.idx non contiene i suoi %1 byte</translation>
    </message>
    <message>
        <source>%1 does not hold whole records</source>
        <translation>%1 non contiene record interi</translation>
    </message>
    <message>
        <source>fsinfos.idx counts %1 in %2, the file holds %3</source>
        <translation>fsinfos.idx conta %1 in %2, il file ne contiene %3</translation>
    </message>
    <message>
        <source>fsinfos.idx counts %1 in %2, the index has %3 such songs</source>
        <translation>fsinfos.idx conta %1 in %2, l'indice ha %3 song di quel tipo</translation>
    </message>
    <message>
        <source>playlist/playlist.dat does not hold whole records</source>
        <translation>playlist/playlist.dat non contiene record interi</translation>
    </message>
    <message>
        <source>%1 is listed in playlist/playlist.dat but cannot be read</source>
        <translation>%1 è elencato in playlist/playlist.dat ma non può essere letto</translation>
    </message>
    <message>
        <source>Record %1 of %2 names the id %3, which is not in the index</source>
        <translation>Il record %1 di %2 nomina l'id %3, che non è nell'indice</translation>
    </message>
</context>
<context>
    <name>IndexCommands</name>
    <message>
        <source>Prepares a Quenor memory (Compact Flash card or USB pen) and reads its index.
  build ROOT   rebuild the index files and playlists from scratch
  update ROOT  bring the index up to date after songs were added or removed
  list ROOT    the song list of a prepared memory
  check ROOT   check a prepared memory's index against its files</source>
        <translation>Prepara una memoria Quenor (Compact Flash o penna USB) e ne legge l'indice.
  build ROOT   rigenera da zero i file indice e le playlist
  update ROOT  aggiorna l'indice dopo aver aggiunto o tolto song
  list ROOT    la lista delle song di una memoria preparata
  check ROOT   controlla l'indice di una memoria preparata rispetto ai suoi file</translation>
    </message>
    <message>
        <source>no index command given</source>
        <translation>nessun comando index indicato</translation>
    </message>
    <message>
        <source>unknown index command "%1"</source>
        <translation>comando index sconosciuto "%1"</translation>
    </message>
    <message>
        <source>no memory folder given</source>
        <translation>nessuna cartella della memoria indicata</translation>
    </message>
    <message>
        <source>one memory folder only</source>
        <translation>una sola cartella della memoria</translation>
    </message>
    <message>
        <source>Rebuilds the index files of the memory from scratch, keeping the device's playlists.</source>
        <translation>Rigenera da zero i file indice della memoria, mantenendo le playlist del dispositivo.</translation>
    </message>
    <message>
        <source>Brings the memory's index up to date: new songs get new ids, the others keep theirs. A memory without an index is built.</source>
        <translation>Aggiorna l'indice della memoria: le nuove song ricevono nuovi id, le altre mantengono i loro. Una memoria senza indice viene preparata da zero.</translation>
    </message>
    <message>
        <source>Names longer than eight characters are shortened when --rename allows it (default: ask). Files the index cannot hold are listed. Exit status 1 when the index cannot be made (an old one then stays as it was), 3 when it is made but some files were refused.</source>
        <translation>I nomi più lunghi di otto caratteri vengono accorciati se --rename lo consente (predefinito: ask). I file che l'indice non può contenere vengono elencati. Stato di uscita 1 se non è possibile creare l'indice (quello vecchio resta allora com'era), 3 se viene creato ma alcuni file sono stati rifiutati.</translation>
    </message>
    <message>
        <source>Shorten long names: ask on the terminal, always (yes) or never (no).</source>
        <translation>Accorcia i nomi lunghi: chiedi sul terminale (ask), sempre (yes) o mai (no).</translation>
    </message>
    <message>
        <source>The memory's folder.</source>
        <translation>La cartella della memoria.</translation>
    </message>
    <message>
        <source>--rename wants ask, yes or no</source>
        <translation>--rename vuole ask, yes o no</translation>
    </message>
    <message>
        <source>Preparing the memory...</source>
        <translation>Preparazione della memoria...</translation>
    </message>
    <message numerus="yes">
        <source>%n file(s) refused</source>
        <translation><numerusform>%n file rifiutato</numerusform><numerusform>%n file rifiutati</numerusform></translation>
    </message>
    <message>
        <source>%1: no song file found, the memory has no index</source>
        <translation>%1: nessun file di song trovato, la memoria non ha un indice</translation>
    </message>
    <message>
        <source>%1: the memory is not prepared</source>
        <translation>%1: la memoria non è preparata</translation>
    </message>
    <message>
        <source>%1: the index cannot be written, the memory keeps its old one</source>
        <translation>%1: impossibile scrivere l'indice, la memoria mantiene quello vecchio</translation>
    </message>
    <message numerus="yes">
        <source>%1: %n song file(s) found</source>
        <translation><numerusform>%1: trovato %n file di song</numerusform><numerusform>%1: trovati %n file di song</numerusform></translation>
    </message>
    <message>
        <source>Writes the song list of a prepared memory, as read from its index: one line "title;artist;genre;file;" per song after a header line. Without -o it goes to standard output.</source>
        <translation>Scrive la lista delle song di una memoria preparata, letta dal suo indice: una riga "titolo;artista;genere;file;" per song dopo una riga di intestazione. Senza -o va sullo standard output.</translation>
    </message>
    <message>
        <source>The order of the list (default: title).</source>
        <translation>L'ordine della lista (predefinito: title).</translation>
    </message>
    <message>
        <source>Write the list into FILE; an existing file is replaced only by a complete list.</source>
        <translation>Scrive la lista in FILE; un file esistente viene sostituito solo da una lista completa.</translation>
    </message>
    <message>
        <source>--sort wants title, artist or genre</source>
        <translation>--sort vuole title, artist o genre</translation>
    </message>
    <message>
        <source>no temporary folder for the list</source>
        <translation>nessuna cartella temporanea per la lista</translation>
    </message>
    <message>
        <source>%1: the memory is not prepared for Quenor (no index)</source>
        <translation>%1: la memoria non è preparata per Quenor (nessun indice)</translation>
    </message>
    <message>
        <source>%1: cannot be written</source>
        <translation>%1: impossibile scrivere</translation>
    </message>
    <message>
        <source>%1: the index cannot be read</source>
        <translation>%1: impossibile leggere l'indice</translation>
    </message>
    <message>
        <source>the list cannot be read back</source>
        <translation>impossibile rileggere la lista</translation>
    </message>
    <message>
        <source>Reads the index of a prepared memory back and checks it against the memory: every song file indexed exactly once, every indexed file present, ids unique, the counts of fsinfos.idx right, every playlist record naming an indexed song or no song. Prints each problem; exit status 0 only when all hold.</source>
        <translation>Rilegge l'indice di una memoria preparata e lo controlla rispetto alla memoria: ogni file di song indicizzato una volta sola, ogni file indicizzato presente, id unici, i conteggi di fsinfos.idx giusti, ogni record delle playlist che nomina una song indicizzata o nessuna song. Stampa ogni problema; stato di uscita 0 solo se tutto è in regola.</translation>
    </message>
    <message numerus="yes">
        <source>%1: the index matches the memory, %n song(s)</source>
        <translation><numerusform>%1: l'indice corrisponde alla memoria, %n song</numerusform><numerusform>%1: l'indice corrisponde alla memoria, %n song</numerusform></translation>
    </message>
    <message numerus="yes">
        <source>%1: %n problem(s) found</source>
        <translation><numerusform>%1: trovato %n problema</numerusform><numerusform>%1: trovati %n problemi</numerusform></translation>
    </message>
    <message>
        <source>%1: no such folder</source>
        <translation>%1: cartella inesistente</translation>
    </message>
</context>
<context>
    <name>QuenorCli</name>
    <message>
        <source>Usage: quenor-cli COMMAND [options] ARGUMENTS

Commands:
  info FILE...        the song information of each file
  set FILE...         write song fields into the files
  sync FILE...        fill the files from the song catalogue
  transfer FILE...    copy songs onto a Quenor memory and update its index
  index build ROOT    rebuild a memory's index
  index update ROOT   bring a memory's index up to date
  index list ROOT     the song list of a prepared memory
  index check ROOT    check a memory's index against its files

"quenor-cli COMMAND --help" describes a command. Exit status: 0 done, 1 failed, 2 wrong usage.
  --help     this text
  --version  the program's version
</source>
        <translation>Uso: quenor-cli COMANDO [opzioni] ARGOMENTI

Comandi:
  info FILE...        i dati di ogni file di song
  set FILE...         scrive campi nei file
  sync FILE...        completa i file dal catalogo delle song
  transfer FILE...    copia song in una memoria Quenor e ne aggiorna l'indice
  index build ROOT    rigenera l'indice di una memoria
  index update ROOT   aggiorna l'indice di una memoria
  index list ROOT     la lista delle song di una memoria preparata
  index check ROOT    controlla l'indice di una memoria rispetto ai suoi file

"quenor-cli COMANDO --help" descrive un comando. Stato di uscita: 0 fatto, 1 non riuscito, 2 uso sbagliato.
  --help     questo testo
  --version  la versione del programma
</translation>
    </message>
    <message>
        <source>no command given</source>
        <translation>nessun comando indicato</translation>
    </message>
    <message>
        <source>unknown command "%1"</source>
        <translation>comando sconosciuto "%1"</translation>
    </message>
    <message>
        <source>Try "quenor-cli --help" for more information.</source>
        <translation>Usare "quenor-cli --help" per maggiori informazioni.</translation>
    </message>
</context>
<context>
    <name>SongCommands</name>
    <message>
        <source>%1: no such file</source>
        <translation>%1: file inesistente</translation>
    </message>
    <message>
        <source>%1: not a song file that can be read</source>
        <translation>%1: non è un file di song leggibile</translation>
    </message>
    <message>
        <source>Markers</source>
        <translation>Marker</translation>
    </message>
    <message>
        <source>Published by Zevio</source>
        <translation>Pubblicato da Zevio</translation>
    </message>
    <message>
        <source>yes</source>
        <translation>si</translation>
    </message>
    <message>
        <source>no</source>
        <translation>no</translation>
    </message>
    <message>
        <source>--%1 wants a whole number from %2 to %3</source>
        <translation>--%1 vuole un numero intero da %2 a %3</translation>
    </message>
    <message>
        <source>Shows the song information of each file as the library table does. Exit status 1 when a file could not be read.</source>
        <translation>Mostra i dati di ogni file come la tabella della libreria. Stato di uscita 1 se un file non può essere letto.</translation>
    </message>
    <message>
        <source>Print one JSON document with one object per file.</source>
        <translation>Stampa un documento JSON con un oggetto per file.</translation>
    </message>
    <message>
        <source>Song files.</source>
        <translation>File di song.</translation>
    </message>
    <message>
        <source>no file given</source>
        <translation>nessun file indicato</translation>
    </message>
    <message numerus="yes">
        <source>%n file(s) could not be read</source>
        <translation><numerusform>%n file non può essere letto</numerusform><numerusform>%n file non possono essere letti</numerusform></translation>
    </message>
    <message>
        <source>Writes the given fields into each file, as the edit window does; the other fields keep the file's values. A file is replaced only once its new content is completely written.</source>
        <translation>Scrive i campi indicati in ogni file, come la finestra di modifica; gli altri campi mantengono i valori del file. Un file viene sostituito solo quando il nuovo contenuto è scritto per intero.</translation>
    </message>
    <message>
        <source>The title.</source>
        <translation>Il titolo.</translation>
    </message>
    <message>
        <source>The artist.</source>
        <translation>L'artista.</translation>
    </message>
    <message>
        <source>The genre.</source>
        <translation>Il genere.</translation>
    </message>
    <message>
        <source>The author.</source>
        <translation>L'autore.</translation>
    </message>
    <message>
        <source>The length in seconds.</source>
        <translation>La durata in secondi.</translation>
    </message>
    <message>
        <source>The tempo in beats per minute.</source>
        <translation>Il tempo in battiti al minuto.</translation>
    </message>
    <message>
        <source>The key (%1); empty removes it.</source>
        <translation>La tonalità (%1); vuota la toglie.</translation>
    </message>
    <message>
        <source>no field given</source>
        <translation>nessun campo indicato</translation>
    </message>
    <message>
        <source>unknown key "%1"</source>
        <translation>tonalità sconosciuta "%1"</translation>
    </message>
    <message>
        <source>%1: written</source>
        <translation>%1: scritto</translation>
    </message>
    <message>
        <source>%1: could not be written, it keeps its old content</source>
        <translation>%1: impossibile scrivere, il file mantiene il contenuto precedente</translation>
    </message>
    <message>
        <source>Fills the song information of each file from the catalogue, as the window's update does: the song is looked up by file name, by the container's long name, then by title; a file keeps the fields it already has. Exit status 1 when a file could not be read or written.</source>
        <translation>Completa i dati di ogni file dal catalogo, come l'aggiornamento della finestra: la song viene cercata per nome del file, per nome lungo del contenitore, poi per titolo; un file mantiene i campi che ha già. Stato di uscita 1 se un file non può essere letto o scritto.</translation>
    </message>
    <message>
        <source>First copy the files into a new backup folder inside DIR.</source>
        <translation>Prima copia i file in una nuova cartella di backup dentro DIR.</translation>
    </message>
    <message>
        <source>Files not published by Zevio: ask on the terminal, update them (yes) or leave them (no). Without it the window's setting decides whether to ask.</source>
        <translation>File non pubblicati da Zevio: chiedi sul terminale (ask), aggiornali (yes) o lasciali (no). Senza questa opzione decide l'impostazione della finestra se chiedere.</translation>
    </message>
    <message>
        <source>An SQLite catalogue of the same layout instead of the built-in one.</source>
        <translation>Un catalogo SQLite con la stessa struttura al posto di quello interno.</translation>
    </message>
    <message>
        <source>--not-published wants ask, yes or no</source>
        <translation>--not-published vuole ask, yes o no</translation>
    </message>
    <message>
        <source>%1: no such folder</source>
        <translation>%1: cartella inesistente</translation>
    </message>
    <message>
        <source>%1: no such catalogue</source>
        <translation>%1: catalogo inesistente</translation>
    </message>
    <message>
        <source>the catalogue cannot be opened</source>
        <translation>impossibile aprire il catalogo</translation>
    </message>
    <message>
        <source>found by %1, written</source>
        <translation>trovato per %1, scritto</translation>
    </message>
    <message>
        <source>found by %1, NOT written: the file keeps its old content</source>
        <translation>trovato per %1, NON scritto: il file mantiene il contenuto precedente</translation>
    </message>
    <message>
        <source>not published by Zevio, left as it was</source>
        <translation>non pubblicato da Zevio, lasciato com'era</translation>
    </message>
    <message>
        <source>found by %1, left as it was</source>
        <translation>trovato per %1, lasciato com'era</translation>
    </message>
    <message>
        <source>not found in the catalogue, left as it was</source>
        <translation>non trovato nel catalogo, lasciato com'era</translation>
    </message>
    <message>
        <source>stopped before any file was touched</source>
        <translation>interrotto prima di toccare qualunque file</translation>
    </message>
</context>
<context>
    <name>TerminalInteraction</name>
    <message>
        <source>Answer 1, 2, 3 or 4.</source>
        <translation>Rispondere 1, 2, 3 o 4.</translation>
    </message>
</context>
<context>
    <name>TransferCommand</name>
    <message>
        <source>%1: not a song file that can be read</source>
        <translation>%1: non è un file di song leggibile</translation>
    </message>
    <message>
        <source>Copies the songs (an MP3 with its .cdg companion) into a folder of a Quenor memory and brings the memory's index up to date, as the window's transfer does. The folder must lie on a removable volume; its top folder means its "songs" folder; SFX, BRIDGE and PLAYLIST are the device's own. Exit status 1 when the folder was refused, a copy failed or the index was not updated.</source>
        <translation>Copia le song (un MP3 con il suo file .cdg) in una cartella di una memoria Quenor e ne aggiorna l'indice, come il trasferimento della finestra. La cartella deve stare su un volume rimovibile; la cartella principale vale come la sua cartella "songs"; SFX, BRIDGE e PLAYLIST sono riservate al dispositivo. Stato di uscita 1 se la cartella è stata rifiutata, una copia non è riuscita o l'indice non è stato aggiornato.</translation>
    </message>
    <message>
        <source>The destination folder on the memory.</source>
        <translation>La cartella di destinazione nella memoria.</translation>
    </message>
    <message>
        <source>Files already in the folder: ask on the terminal, replace them (yes) or keep them (no).</source>
        <translation>File già presenti nella cartella: chiedi sul terminale (ask), sostituiscili (yes) o mantienili (no).</translation>
    </message>
    <message>
        <source>Names longer than eight characters met by the index update: ask on the terminal, shorten them (yes) or leave them (no).</source>
        <translation>Nomi più lunghi di otto caratteri incontrati dall'aggiornamento dell'indice: chiedi sul terminale (ask), accorciali (yes) o lasciali (no).</translation>
    </message>
    <message>
        <source>Song files.</source>
        <translation>File di song.</translation>
    </message>
    <message>
        <source>--overwrite wants ask, yes or no</source>
        <translation>--overwrite vuole ask, yes o no</translation>
    </message>
    <message>
        <source>--rename wants ask, yes or no</source>
        <translation>--rename vuole ask, yes o no</translation>
    </message>
    <message>
        <source>no destination given (--to FOLDER)</source>
        <translation>nessuna destinazione indicata (--to CARTELLA)</translation>
    </message>
    <message>
        <source>no file given</source>
        <translation>nessun file indicato</translation>
    </message>
    <message>
        <source>%1: no such file</source>
        <translation>%1: file inesistente</translation>
    </message>
    <message>
        <source>%1: no such folder</source>
        <translation>%1: cartella inesistente</translation>
    </message>
</context>
</TS>