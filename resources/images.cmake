# Images of the program, drawn at build time by images/drawimages.cpp:
# ":/imgs/..." for the main window, the about box and the help action, and
# the program's icon, which is also installed beside the program.

add_executable(quenor_drawimages ${CMAKE_CURRENT_SOURCE_DIR}/images/drawimages.cpp)
target_link_libraries(quenor_drawimages PRIVATE Qt6::Gui)

set(images_dir ${CMAKE_CURRENT_BINARY_DIR}/imgs)
set(icon_sizes 48 64 128 256)
set(image_names
    logo-quenor.png logo-zevio.png logo-zevio_512.png
    icona-cartella.png icona-sync.png icone-media.png icona-aiuto.png)
foreach(size ${icon_sizes})
    list(APPEND image_names quenorpc-${size}.png)
endforeach()
set(image_files)
foreach(name ${image_names})
    list(APPEND image_files ${images_dir}/${name})
endforeach()

add_custom_command(OUTPUT ${image_files}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
            $<TARGET_FILE:quenor_drawimages> ${images_dir}
    DEPENDS quenor_drawimages
    COMMENT "Drawing the program's images")

qt_add_resources(quenorresources "images"
    PREFIX "/imgs"
    BASE ${images_dir}
    FILES ${image_files})

# Desktop integration: the icon named by the .desktop entry, at each size.
foreach(size ${icon_sizes})
    install(FILES ${images_dir}/quenorpc-${size}.png
        DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME quenorpc.png)
endforeach()
