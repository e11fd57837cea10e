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

set(QUORVAN_ICONS ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor)
install(FILES ${QUORVAN_RESOURCES}/quorvan.svg DESTINATION ${QUORVAN_ICONS}/scalable/apps)
install(FILES ${QUORVAN_RESOURCES}/quorvan-256.png DESTINATION ${QUORVAN_ICONS}/256x256/apps
        RENAME quorvan.png)
install(FILES ${QUORVAN_RESOURCES}/quorvan-48.png DESTINATION ${QUORVAN_ICONS}/48x48/apps
        RENAME quorvan.png)
