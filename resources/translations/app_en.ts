<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_GB" sourcelanguage="it_IT">
    <context>
        <name>AboutDialog</name>
        <message>
            <source>Informazioni</source>
            <translation>About</translation>
        </message>
        <message>
            <source>Quenor PC</source>
            <translation>Quenor PC</translation>
        </message>
        <message>
            <source>Version:&amp;nbsp;&amp;nbsp;&amp;nbsp;&amp;nbsp;&amp;nbsp;&amp;nbsp; %1&lt;br/&gt;Build date: %2&lt;br/&gt;</source>
            <translation>Version:&amp;nbsp;&amp;nbsp;&amp;nbsp;&amp;nbsp;&amp;nbsp;&amp;nbsp; %1&lt;br/&gt;Build date: %2&lt;br/&gt;</translation>
        </message>
        <message>
            <source>&amp;copy; 2012 &lt;a href="https://www.zevio.it"&gt;Zevio&lt;/a&gt;&lt;br/&gt;Assistenza: &lt;a href="mailto:assistenza@zevio.it"&gt;assistenza@zevio.it&lt;/a&gt;&lt;br/&gt;</source>
            <translation>&amp;copy; 2012 &lt;a href="https://www.zevio.it"&gt;Zevio&lt;/a&gt;&lt;br/&gt;Help: &lt;a href="mailto:assistenza@zevio.it"&gt;assistenza@zevio.it&lt;/a&gt;&lt;br/&gt;</translation>
        </message>
    </context>
    <context>
        <name>HelpDialog</name>
        <message>
            <source>Aiuto Quenor PC</source>
            <translation>Help for Quenor PC</translation>
        </message>
        <message>
            <source>Aiuto</source>
            <translation>Help for Quenor PC</translation>
        </message>
    </context>
    <context>
        <name>MainWindow</name>
        <message>
            <source>Quenor PC</source>
            <translation>Quenor PC</translation>
        </message>
        <message>
            <source>Seleziona le basi musicali che desideri inserire nella memoria di Quenor</source>
            <translation>Select the songs you wish to put in the memory dedicated to Quenor</translation>
        </message>
        <message>
            <source>Sincronizza song con il database Zevio</source>
            <translation>Sync your songs with the Zevio database</translation>
        </message>
        <message>
            <source>Trasferisci song nella memoria di Quenor</source>
            <translation>Transfer songs in the Quenor memory</translation>
        </message>
        <message>
            <source>Opzioni nascoste</source>
            <translation>Hidden options</translation>
        </message>
        <message>
            <source>Abilita log (riavvio necessario!)</source>
            <translation>Enable log (restart required!)</translation>
        </message>
        <message>
            <source>Cancella log ad ogni avvio</source>
            <translation>Clear log every run</translation>
        </message>
        <message>
            <source>Debug</source>
            <translation>Debug</translation>
        </message>
        <message>
            <source>Add Marker</source>
            <translation>Add Marker</translation>
        </message>
        <message>
            <source>Save</source>
            <translation>Save</translation>
        </message>
        <message>
            <source>Import again</source>
            <translation>Import again</translation>
        </message>
        <message>
            <source>Hide Debug</source>
            <translation>Hide Debug</translation>
        </message>
        <message>
            <source>Backup</source>
            <translation>Backup</translation>
        </message>
        <message>
            <source>Manual Dialog</source>
            <translation>Manual Dialog</translation>
        </message>
        <message>
            <source>File</source>
            <translation>File</translation>
        </message>
        <message>
            <source>Preferenze</source>
            <translation>Preferences</translation>
        </message>
        <message>
            <source>Lingua</source>
            <translation>Language</translation>
        </message>
        <message>
            <source>Messaggi Copyright</source>
            <translation>Show copyright messages</translation>
        </message>
        <message>
            <source>Strumenti</source>
            <translation>Tools</translation>
        </message>
        <message>
            <source>Aiuto</source>
            <translation>Help</translation>
        </message>
        <message>
            <source>Esci</source>
            <translation>Quit</translation>
        </message>
        <message>
            <source>Italiano</source>
            <translation>Italiano</translation>
        </message>
        <message>
            <source>English</source>
            <translation>English</translation>
        </message>
        <message>
            <source>Deutsch</source>
            <translation>Deutsch</translation>
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
            <source>Rigenera il database delle song</source>
            <translation>Rebuild songs database</translation>
        </message>
        <message>
            <source>Salva lista delle song</source>
            <translation>Save songs list</translation>
        </message>
        <message>
            <source>Aiuto Quenor PC</source>
            <translation>Help for Quenor PC</translation>
        </message>
        <message>
            <source>Informazioni</source>
            <translation>About</translation>
        </message>
        <message>
            <source>Informazioni su QT</source>
            <translation>About QT</translation>
        </message>
    </context>
</TS>
