<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_GB" sourcelanguage="it_IT">
<context>
    <name>BackupDialog</name>
    <message>
        <source>Backup</source>
        <translation>Backup</translation>
    </message>
    <message>
        <source>Backup message text</source>
        <translation>Backup message text</translation>
    </message>
    <message>
        <source>Sfoglia...</source>
        <translation>Browse...</translation>
    </message>
    <message>
        <source>Annulla</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Prosegui senza backup</source>
        <translation>Continue without backup</translation>
    </message>
    <message>
        <source>Esegui backup</source>
        <translation>Backup</translation>
    </message>
    <message>
        <source>Si consiglia di effettuare un backup della libreria prima di procedere con l&apos;aggiornamento.
Selezionare una cartella di destinazione per il backup oppure premere &apos;Prosegui senza backup&apos;.</source>
        <translation>It is recommended to backup your files before proceeding with the update process.
Select a backup destination folder or press &apos;Continue without backup&apos;.</translation>
    </message>
    <message>
        <source>Scegli cartella</source>
        <translation>Select folder</translation>
    </message>
</context>
<context>
    <name>CatalogueSync</name>
    <message>
        <source>Aggiorno la libreria...</source>
        <translation>Updating library...</translation>
    </message>
    <message>
        <source>Aggiornamento file</source>
        <translation>Updating file</translation>
    </message>
</context>
<context>
    <name>DialogInteraction</name>
    <message>
        <source>Interrompi</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>%1 di %2</source>
        <translation>%1 of %2</translation>
    </message>
</context>
<context>
    <name>FileCopy</name>
    <message>
        <source>esiste già, vuoi sostituirlo?</source>
        <translation>is already present, replace it?</translation>
    </message>
</context>
<context>
    <name>LibraryBackup</name>
    <message>
        <source>Backup</source>
        <translation>Backup</translation>
    </message>
    <message>
        <source>Backup FALLITO !!!</source>
        <translation>Backup FAILED !!!</translation>
    </message>
    <message>
        <source>Eseguo backup dellla libreria...</source>
        <translation>Back up the library ...</translation>
    </message>
    <message>
        <source>Backup eseguito correttamente</source>
        <translation>Backup done correctly</translation>
    </message>
</context>
<context>
    <name>LibraryImport</name>
    <message>
        <source>Importo la libreria...</source>
        <translation>Importing library...</translation>
    </message>
    <message>
        <source>Lettura file</source>
        <translation>Reading file</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Seleziona i file da importare</source>
        <translation>Select files to import</translation>
    </message>
    <message>
        <source>Songs (*.mid *.kar *.mp3 *.mf3 *.mf4 *.mf5)</source>
        <translation>Songs (*.mid *.kar *.mp3 *.mf3 *.mf4 *.mf5)</translation>
    </message>
</context>
<context>
    <name>NoCopyrightDialog</name>
    <message>
        <source>Richiesta conferma</source>
        <translation>Confirmation request</translation>
    </message>
    <message>
        <source>Il file:</source>
        <translation>File:</translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation>TextLabel</translation>
    </message>
    <message>
        <source>Non è stato pubblicato da Zevio. Si vuole procedere comunque con le modifiche?</source>
        <translation>Was not published by Zevio. Do you want to proceed with editing?</translation>
    </message>
    <message>
        <source>Si</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>Si tutti</source>
        <translation>Yes all</translation>
    </message>
    <message>
        <source>No</source>
        <translation>No</translation>
    </message>
    <message>
        <source>No tutti</source>
        <translation>No all</translation>
    </message>
</context>
<context>
    <name>ProceedDialog</name>
    <message>
        <source>Riassunto importazione</source>
        <translation>Import summary</translation>
    </message>
    <message>
        <source>MsgLabel</source>
        <translation>MsgLabel</translation>
    </message>
    <message>
        <source>Si vuole procedere alla sincronizzazione automatica con il database?</source>
        <translation>Do you want to proceed with automatic synchronization?</translation>
    </message>
    <message>
        <source>Non mostrare più messaggi sul copyright</source>
        <translation>Don&apos;t show messages on copyright</translation>
    </message>
    <message>
        <source>Si</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>No</source>
        <translation>No</translation>
    </message>
    <message>
        <source>Sono stati esaminti %1 files, trovate %2 songs di cui %3 di (c)Zevio</source>
        <translation>%1 files have been examined, found %2 songs of which %3 (c) Zevio</translation>
    </message>
</context>
</TS>
