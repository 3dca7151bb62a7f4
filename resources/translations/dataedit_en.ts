<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_GB" sourcelanguage="it_IT">
<context>
    <name>DataEditDialog</name>
    <message>
        <source>Modifica Dati</source>
        <translation>Edit Details</translation>
    </message>
    <message>
        <source>Percorso file:</source>
        <translation>File path:</translation>
    </message>
    <message>
        <source>Formato:</source>
        <translation>Format:</translation>
    </message>
    <message>
        <source>Modifica i dati della Song:</source>
        <translation>Edit Song info:</translation>
    </message>
    <message>
        <source>Titolo Song:</source>
        <translation>Song title:</translation>
    </message>
    <message>
        <source>Usa il titolo</source>
        <translation>Use title</translation>
    </message>
    <message>
        <source>Usa il filename</source>
        <translation>Use filename</translation>
    </message>
    <message>
        <source>Applica a tutti</source>
        <translation>Apply to all</translation>
    </message>
    <message>
        <source>Interprete:</source>
        <translation>Artist:</translation>
    </message>
    <message>
        <source>Genere Musicale:</source>
        <translation>Genre:</translation>
    </message>
    <message>
        <source>Autore:</source>
        <translation>Author:</translation>
    </message>
    <message>
        <source>Durata:</source>
        <translation>Length:</translation>
    </message>
    <message>
        <source>mm</source>
        <translation>mm</translation>
    </message>
    <message>
        <source>ss</source>
        <translation>ss</translation>
    </message>
    <message>
        <source>Tonalità:</source>
        <translation>Key:</translation>
    </message>
    <message>
        <source>BPM:</source>
        <translation>BPM:</translation>
    </message>
    <message>
        <source>Annulla</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Salva</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Modifica dati song</source>
        <translation>Edit song details</translation>
    </message>
    <message>
        <source>ATTENZIONE</source>
        <translation>WARNING</translation>
    </message>
    <message>
        <source>Il titolo di tutte le song della lista verrà sovrascritto non il nome del file, sei sicuro?</source>
        <translation>The title of all the songs of the list will be replaced with their filename, are you sure?</translation>
    </message>
    <message>
        <source>L&apos;interprete inserito verrà applicato a tutte le song della lista, sei sicuro?</source>
        <translation>This Artist will be applied to all the songs of the list, are you sure?</translation>
    </message>
    <message>
        <source>Il genere inserito verrà applicato a tutte le song della lista, sei sicuro?</source>
        <translation>This Genre will be applied to all the songs of the list, are you sure?</translation>
    </message>
    <message>
        <source>L&apos;autore inserito verrà applicato a tutte le song della lista, sei sicuro?</source>
        <translation>This Author will be applied to all the songs of the list, are you sure?</translation>
    </message>
</context>
<context>
    <name>ManualEdit</name>
    <message>
        <source>Impossibile salvare le modifiche nel file:
%1</source>
        <translation>Unable to save the changes to the file:
%1</translation>
    </message>
    <message>
        <source>Impossibile salvare le modifiche nei file:
%1</source>
        <translation>Unable to save the changes to the files:
%1</translation>
    </message>
    <message>
        <source>Modifica dati song</source>
        <translation>Edit song details</translation>
    </message>
    <message>
        <source>Aggiorno la libreria...</source>
        <translation>Updating library...</translation>
    </message>
    <message>
        <source>Aggiornamento file</source>
        <translation>Updating file</translation>
    </message>
    <message>
        <source>Attenzione</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Sei sicuro di voler cancellare il file?</source>
        <translation>Are you sure you want to permanently delete the file?</translation>
    </message>
    <message>
        <source>Impossibile eliminare il file:
%1</source>
        <translation>Unable to delete the file:
%1</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Remove from list</source>
        <translation>Remove from list</translation>
    </message>
    <message>
        <source>Delete file</source>
        <translation>Delete file</translation>
    </message>
</context>
</TS>
