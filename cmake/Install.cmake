# Where `cmake --install` puts the program so that a Linux desktop finds it:
# the two executables, the user manual, the desktop entry and the icons.

include(GNUInstallDirs)
# GNUInstallDirs names the documentation folder after the project ("Quorvan");
# distributions spell it in lower case. A DOCDIR given by the user stays.
if(CMAKE_INSTALL_DOCDIR STREQUAL "${CMAKE_INSTALL_DATAROOTDIR}/doc/${PROJECT_NAME}")
    set(CMAKE_INSTALL_DOCDIR "${CMAKE_INSTALL_DATAROOTDIR}/doc/quorvan")
endif()

install(TARGETS quorvan-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET quorvan)
    install(TARGETS quorvan RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

set(QUORVAN_RESOURCES ${CMAKE_CURRENT_LIST_DIR}/../resources)
set(QUORVAN_MANUAL ${CMAKE_CURRENT_LIST_DIR}/../docs/manual)

install(DIRECTORY ${QUORVAN_MANUAL}/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/manual)
install(FILES ${QUORVAN_RESOURCES}/quorvan.desktop
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
# "Rename with Quorvan" in the file managers' menus: Dolphin's service menu and
# Nemo's action (Nautilus takes the desktop entry's action, Thunar a custom
# action the manual gives).
install(FILES ${QUORVAN_RESOURCES}/quorvan-servicemenu.desktop
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/kio/servicemenus RENAME quorvan.desktop)
install(FILES ${QUORVAN_RESOURCES}/quorvan.nemo_action
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/nemo/actions)

set(QUORVAN_ICONS ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor)
install(FILES ${QUORVAN_RESOURCES}/quorvan.svg DESTINATION ${QUORVAN_ICONS}/scalable/apps)
install(FILES ${QUORVAN_RESOURCES}/quorvan-256.png DESTINATION ${QUORVAN_ICONS}/256x256/apps
        RENAME quorvan.png)
install(FILES ${QUORVAN_RESOURCES}/quorvan-48.png DESTINATION ${QUORVAN_ICONS}/48x48/apps
        RENAME quorvan.png)

# Manual pages, compressed as Debian installs them.
set(QUORVAN_MAN_PAGES)
foreach(page quorvan quorvan-cli)
    set(source ${CMAKE_CURRENT_LIST_DIR}/../docs/man/${page}.1)
    set(packed ${CMAKE_BINARY_DIR}/man/${page}.1.gz)
    add_custom_command(OUTPUT ${packed}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
        COMMAND sh -c "gzip -9n -c \"$0\" >\"$1\"" ${source} ${packed}
        DEPENDS ${source} VERBATIM)
    list(APPEND QUORVAN_MAN_PAGES ${packed})
endforeach()
add_custom_target(quorvan-man ALL DEPENDS ${QUORVAN_MAN_PAGES})
install(FILES ${QUORVAN_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(FILES ${QUORVAN_RESOURCES}/com.example.quorvan.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)
install(FILES ${QUORVAN_RESOURCES}/quorvan-cli.bash
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/bash-completion/completions RENAME quorvan-cli)

include(${CMAKE_CURRENT_LIST_DIR}/Package.cmake)
