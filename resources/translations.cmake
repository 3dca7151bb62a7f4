# Translation catalogues.
#
# The program's source texts are Italian. Each part of the program keeps its
# own pair of catalogues in resources/translations: NAME_en.ts (English) and
# NAME_it.ts (only the texts whose Italian rendering differs from the source).
# lrelease merges all of one language into ":/trans/quenorpc_en" and
# ":/trans/quenorpc_it". The framework's own Italian and German texts come
# from the distribution's Qt translations.
#
# To refresh one part's catalogue after changing its texts:
#   lupdate -locations none catalogue -ts resources/translations/catalogue_en.ts
# then fill in the <translation> elements.

set(QT_TRANSLATIONS_SRC_DIR "/usr/share/qt6/translations" CACHE PATH
    "Folder holding the framework's compiled translations (qtbase_it.qm, ...)")

get_target_property(LRELEASE_EXECUTABLE Qt6::lrelease IMPORTED_LOCATION)
get_target_property(LCONVERT_EXECUTABLE Qt6::lconvert IMPORTED_LOCATION)

set(trans_dir ${CMAKE_CURRENT_BINARY_DIR}/trans)
file(MAKE_DIRECTORY ${trans_dir})
set(trans_files)

foreach(lang en it)
    file(GLOB ts_files CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/translations/*_${lang}.ts)
    set(qm ${trans_dir}/quenorpc_${lang})
    if(ts_files)
        add_custom_command(OUTPUT ${qm}
            COMMAND ${LRELEASE_EXECUTABLE} -silent ${ts_files} -qm ${qm}
            DEPENDS ${ts_files}
            COMMENT "Compiling the ${lang} catalogue")
    else()
        # No texts yet: an empty but valid catalogue.
        file(WRITE ${trans_dir}/empty_${lang}.ts
            "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE TS>\n<TS version=\"2.1\" language=\"${lang}\"></TS>\n")
        add_custom_command(OUTPUT ${qm}
            COMMAND ${LRELEASE_EXECUTABLE} -silent ${trans_dir}/empty_${lang}.ts -qm ${qm}
            COMMENT "Compiling the empty ${lang} catalogue")
    endif()
    list(APPEND trans_files ${qm})
endforeach()

foreach(lang it de)
    set(qm ${trans_dir}/qt_${lang})
    set(qt_sources)
    foreach(module qtbase)
        if(EXISTS ${QT_TRANSLATIONS_SRC_DIR}/${module}_${lang}.qm)
            list(APPEND qt_sources ${QT_TRANSLATIONS_SRC_DIR}/${module}_${lang}.qm)
        endif()
    endforeach()
    if(NOT qt_sources)
        message(FATAL_ERROR "The framework's ${lang} translation was not found in ${QT_TRANSLATIONS_SRC_DIR}: install qt6-translations-l10n")
    endif()
    # lconvert folds the module catalogues into one file, so the resource
    # needs none of the meta catalogue's dependencies.
    add_custom_command(OUTPUT ${qm}
        COMMAND ${LCONVERT_EXECUTABLE} -i ${qt_sources} -o ${qm}.qm
        COMMAND ${CMAKE_COMMAND} -E rename ${qm}.qm ${qm}
        DEPENDS ${qt_sources}
        COMMENT "Taking the framework's ${lang} catalogue")
    list(APPEND trans_files ${qm})
endforeach()

qt_add_resources(quenorresources "translations"
    PREFIX "/trans"
    BASE ${trans_dir}
    FILES ${trans_files})
