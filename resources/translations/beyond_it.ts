<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it_IT" sourcelanguage="it_IT">
<!-- Folder import, the table's search and the memory view: every text is
     Italian in the source, so none needs a translation here. -->
</TS>
