# The song catalogue compiled into the program as ":/db/songsdb".
#
# The shipped catalogue is kept readable in catalogue/songs.sql (made from
# catalogue/songs.txt by catalogue/make_catalogue.py) and turned into an
# SQLite file at build time with the sqlite3 tool. A packager can build with
# another catalogue: QUENOR_CATALOGUE may name an SQL text file (*.sql, run
# by sqlite3 into a new database) or a ready SQLite database (any other name,
# copied as it is). Either way the build checks that the result has the
# table Songs with the columns the program reads.

set(QUENOR_CATALOGUE "${CMAKE_CURRENT_SOURCE_DIR}/catalogue/songs.sql" CACHE FILEPATH
    "Song catalogue compiled into the program: an SQL text file (*.sql) or an SQLite database")

find_program(SQLITE3_EXECUTABLE sqlite3)
if(NOT SQLITE3_EXECUTABLE)
    message(FATAL_ERROR "The sqlite3 tool is needed to build the song catalogue: install the Debian package sqlite3 (scripts/install-deps.sh does)")
endif()
if(NOT EXISTS "${QUENOR_CATALOGUE}")
    message(FATAL_ERROR "QUENOR_CATALOGUE names a file that does not exist: ${QUENOR_CATALOGUE}")
endif()

set(db_dir ${CMAKE_CURRENT_BINARY_DIR}/db)
file(MAKE_DIRECTORY ${db_dir})
set(db_file ${db_dir}/songsdb)
set(db_partial ${db_dir}/songsdb.part)
# Fails (and so fails the build) unless every column the program reads is there.
set(db_check "SELECT title, artist, genre, author, length, bpm, key, filename, markers, altartist FROM Songs LIMIT 0;")

get_filename_component(catalogue_ext "${QUENOR_CATALOGUE}" LAST_EXT)
string(TOLOWER "${catalogue_ext}" catalogue_ext)
if(catalogue_ext STREQUAL ".sql")
    set(db_make_command
        COMMAND ${SQLITE3_EXECUTABLE} -bail ${db_partial} ".read '${QUENOR_CATALOGUE}'")
    set(db_comment "Building the song catalogue from ${QUENOR_CATALOGUE}")
else()
    set(db_make_command
        COMMAND ${CMAKE_COMMAND} -E copy ${QUENOR_CATALOGUE} ${db_partial})
    set(db_comment "Taking the song catalogue ${QUENOR_CATALOGUE}")
endif()

# Built under another name and renamed at the end, so a failed step never
# leaves a half-made catalogue behind for the next build to pick up.
add_custom_command(OUTPUT ${db_file}
    COMMAND ${CMAKE_COMMAND} -E rm -f ${db_partial}
    ${db_make_command}
    COMMAND ${SQLITE3_EXECUTABLE} -bail ${db_partial} ${db_check}
    COMMAND ${CMAKE_COMMAND} -E rename ${db_partial} ${db_file}
    DEPENDS ${QUENOR_CATALOGUE}
    COMMENT "${db_comment}"
    VERBATIM)

qt_add_resources(quenorresources "catalogue"
    PREFIX "/db"
    BASE ${db_dir}
    FILES ${db_file})
