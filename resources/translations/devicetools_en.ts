<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="it_IT">
<context>
    <name>IndexDialog</name>
    <message>
        <source>Dialog</source>
        <translation>Optimize memory</translation>
    </message>
    <message>
        <source>Seleziona la cartella principale della Compact Flash o della Penna USB che vuoi ottimizzare per Quenor:</source>
        <translation>Select the main folder of the Compact Flash card or USB pen you wish to optimize for Quenor:</translation>
    </message>
    <message>
        <source>Sfoglia</source>
        <translation>Browse</translation>
    </message>
    <message>
        <source>Seleziona l&apos;azione che vuoi eseguire:</source>
        <translation>Select the action you need to perform:</translation>
    </message>
    <message>
        <source>Ho inserito o eliminato alcune song, aggiorna database</source>
        <translation>I have added or removed some of the songs, update database</translation>
    </message>
    <message>
        <source>Ho problemi con gli archivi, ricostruisci database</source>
        <translation>I have problems with the archives, rebuild database</translation>
    </message>
    <message>
        <source>Controlla struttura memoria</source>
        <translation>Check memory structure</translation>
    </message>
    <message>
        <source>File found:</source>
        <translation>Files found:</translation>
    </message>
    <message>
        <source>Report:</source>
        <translation>Report:</translation>
    </message>
    <message>
        <source>Inizia</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Chiudi</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Operazione completata</source>
        <translation>Operation completed</translation>
    </message>
    <message>
        <source>Ottimizzazione memoria in corso...</source>
        <translation>Memory optimization in progress...</translation>
    </message>
    <message>
        <source>Scegli cartella</source>
        <translation>Select folder</translation>
    </message>
</context>
<context>
    <name>MemoryIndexRun</name>
    <message>
        <source>Ottimizza memoria</source>
        <translation>Optimize memory</translation>
    </message>
    <message>
        <source>Il percorso selezionato non esiste</source>
        <translation>The selected path doesn&apos;t exist</translation>
    </message>
    <message>
        <source>Durante l&apos;operazione si sono verificati alcuni errori.
Consultare il report per maggiori informazioni.</source>
        <translation>During the operation there were some errors.
See the report for more information.</translation>
    </message>
    <message>
        <source>Operazione non riuscita.
Assicurarsi che il disco abbia sufficiente spazio libero e che non sia protetto da scrittura.</source>
        <translation>Operation failed.
Please make sure that there is enough free space on the memory and that writing on disk is not disabled.</translation>
    </message>
    <message>
        <source>Operazione completata con successo</source>
        <translation>Operation completed successfully</translation>
    </message>
    <message>
        <source>Salva lista song</source>
        <translation>Save songs list</translation>
    </message>
    <message>
        <source>Il percorso di destinazione non esiste</source>
        <translation>Destination path doesn&apos;t exist</translation>
    </message>
    <message>
        <source>Impossibile proseguire, la memoria non è preparata per Quenor</source>
        <translation>Operation aborted, memory not optimized for Quenor</translation>
    </message>
    <message>
        <source>Operazione completata</source>
        <translation>Operation completed</translation>
    </message>
    <message>
        <source>Errore durante la creazione del file</source>
        <translation>Error during file creation</translation>
    </message>
</context>
<context>
    <name>SongsListDialog</name>
    <message>
        <source>Save song list</source>
        <translation>Save songs list</translation>
    </message>
    <message>
        <source>Browse</source>
        <translation>Browse</translation>
    </message>
    <message>
        <source>File:</source>
        <translation>File name:</translation>
    </message>
    <message>
        <source>Ordina per:</source>
        <translation>Sort by:</translation>
    </message>
    <message>
        <source>Salva</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Titolo</source>
        <translation>Title</translation>
    </message>
    <message>
        <source>Artista</source>
        <translation>Artist</translation>
    </message>
    <message>
        <source>Genere</source>
        <translation>Genre</translation>
    </message>
    <message>
        <source>Scegli cartella</source>
        <translation>Select folder</translation>
    </message>
    <message>
        <source>Scegli nome del file</source>
        <translation>Select file name</translation>
    </message>
    <message>
        <source>File (*.csv)</source>
        <translation>File (*.csv)</translation>
    </message>
</context>
<context>
    <name>Transfer</name>
    <message>
        <source>Trasferimento</source>
        <translation>Transfer</translation>
    </message>
    <message>
        <source>Scegli cartella</source>
        <translation>Select folder</translation>
    </message>
    <message>
        <source>Non è possibile copiare i file sul disco di sistema</source>
        <translation>Can not copy the file on system disc</translation>
    </message>
    <message>
        <source>Non è possibile copiare i file sulla cartella principale, creare o selezionare una sottocartella</source>
        <translation>It is not possible to copy files on the main folder, select or create a subfolder</translation>
    </message>
    <message>
        <source>Non è possibile utilizzare le cartelle BRIDGE, SFX e PLAYLIST perchè sono riservate per funzionalità specifiche di Quenor, selezionare un&apos;altra cartella</source>
        <translation>You can not use BRIDGE, SFX and PLAYLIST folders, they are reserved for QUENOR. Select another folder</translation>
    </message>
    <message>
        <source>Trasferimento file...</source>
        <translation>Transferring files...</translation>
    </message>
    <message>
        <source>Tutti i file sono stati copiati correttamente</source>
        <translation>All the files have been copied successfully</translation>
    </message>
    <message>
        <source>Non è stato possibile copiare uno o più file</source>
        <translation>It was not possible to copy one or more files</translation>
    </message>
    <message>
        <source>I file sono stati copiati, ma il database delle song della memoria non è stato aggiornato.
Per aggiornarlo usare &quot;Rigenera il database delle song&quot; dal menu Strumenti.</source>
        <translation>The files have been copied, but the songs database of the memory was not updated.
To update it use &quot;Rebuild songs database&quot; in the Tools menu.</translation>
    </message>
    <message>
        <source>Aggiornamento database...</source>
        <translation>Updating database...</translation>
    </message>
    <message>
        <source>Aggiornamento</source>
        <translation>Update</translation>
    </message>
</context>
</TS>
