# The help pages shown by the help box, one per language. The Italian and
# English pages are ASCII (accents as HTML entities); the German page is
# ISO 8859-1 and is read as such.
qt_add_resources(quenorresources "help"
    PREFIX "/help"
    BASE ${CMAKE_CURRENT_SOURCE_DIR}/help
    FILES
        ${CMAKE_CURRENT_SOURCE_DIR}/help/help_it.html
        ${CMAKE_CURRENT_SOURCE_DIR}/help/help_en.html
        ${CMAKE_CURRENT_SOURCE_DIR}/help/help_de.html)
