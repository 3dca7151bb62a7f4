<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it_IT" sourcelanguage="it_IT">
    <context>
        <name>AboutDialog</name>
        <message>
            <source>Version:&amp;nbsp;&amp;nbsp;&amp;nbsp;&amp;nbsp;&amp;nbsp;&amp;nbsp; %1&lt;br/&gt;Build date: %2&lt;br/&gt;</source>
            <translation>Versione:&amp;nbsp;&amp;nbsp;&amp;nbsp;&amp;nbsp;&amp;nbsp;&amp;nbsp; %1&lt;br/&gt;Creato il: %2&lt;br/&gt;</translation>
        </message>
    </context>
    <context>
        <name>HelpDialog</name>
        <message>
            <source>Aiuto</source>
            <translation>Aiuto Quenor PC</translation>
        </message>
    </context>
</TS>
