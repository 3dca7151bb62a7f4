<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_GB" sourcelanguage="en">
<!-- The command line's texts are written in English: only the plural forms differ. -->
<context>
    <name>IndexCommands</name>
    <message numerus="yes">
        <source>%n file(s) refused</source>
        <translation>
            <numerusform>%n file refused</numerusform>
            <numerusform>%n files refused</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1: %n song file(s) found</source>
        <translation>
            <numerusform>%1: %n song file found</numerusform>
            <numerusform>%1: %n song files found</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1: the index matches the memory, %n song(s)</source>
        <translation>
            <numerusform>%1: the index matches the memory, %n song</numerusform>
            <numerusform>%1: the index matches the memory, %n songs</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1: %n problem(s) found</source>
        <translation>
            <numerusform>%1: %n problem found</numerusform>
            <numerusform>%1: %n problems found</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>SongCommands</name>
    <message numerus="yes">
        <source>%n file(s) could not be read</source>
        <translation>
            <numerusform>%n file could not be read</numerusform>
            <numerusform>%n files could not be read</numerusform>
        </translation>
    </message>
</context>
</TS>
