# Images of the program, drawn at build time by images/drawimages.cpp:
# ":/imgs/..." for the main window, the about box and the help action, plus
# the desktop icon installed beside the program.

add_executable(quenor_drawimages ${CMAKE_CURRENT_SOURCE_DIR}/images/drawimages.cpp)
target_link_libraries(quenor_drawimages PRIVATE Qt6::Gui)

set(images_dir ${CMAKE_CURRENT_BINARY_DIR}/imgs)
set(image_names
    logo-quenor.png logo-zevio.png logo-zevio_512.png
    icona-cartella.png icona-sync.png icone-media.png icona-aiuto.png)
set(image_files)
foreach(name ${image_names})
    list(APPEND image_files ${images_dir}/${name})
endforeach()
set(desktop_icon ${images_dir}/quenorpc.png)

add_custom_command(OUTPUT ${image_files} ${desktop_icon}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
            $<TARGET_FILE:quenor_drawimages> ${images_dir}
    DEPENDS quenor_drawimages
    COMMENT "Drawing the program's images")

qt_add_resources(quenorresources "images"
    PREFIX "/imgs"
    BASE ${images_dir}
    FILES ${image_files})

# Desktop integration: the icon named by the .desktop entry.
add_custom_target(quenor_desktop_icon ALL DEPENDS ${desktop_icon})
install(FILES ${desktop_icon} DESTINATION share/icons/hicolor/256x256/apps)
