# The window's translations: translations/quorvan_LANG.ts, compiled with Qt's
# lrelease into build/translations/ (where the program finds them beside
# build/bin/) and installed into share/quorvan/translations/.
#   cmake --build build --target quorvan-lupdate   refreshes the .ts files
#   from the sources after texts of the window changed.

include(GNUInstallDirs)

find_program(QUORVAN_LRELEASE NAMES lrelease lrelease-qt6
    HINTS "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS}" /usr/lib/qt6/bin REQUIRED)
find_program(QUORVAN_LUPDATE NAMES lupdate lupdate-qt6
    HINTS "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS}" /usr/lib/qt6/bin REQUIRED)

set(QUORVAN_TS_DIR ${CMAKE_CURRENT_LIST_DIR}/../translations)
file(GLOB QUORVAN_TS_FILES CONFIGURE_DEPENDS ${QUORVAN_TS_DIR}/quorvan_*.ts)
set(QUORVAN_QM_DIR ${CMAKE_BINARY_DIR}/translations)
set(QUORVAN_QM_FILES)
foreach(ts ${QUORVAN_TS_FILES})
    get_filename_component(name ${ts} NAME_WE)
    set(qm ${QUORVAN_QM_DIR}/${name}.qm)
    add_custom_command(OUTPUT ${qm}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${QUORVAN_QM_DIR}
        COMMAND ${QUORVAN_LRELEASE} -silent ${ts} -qm ${qm}
        DEPENDS ${ts} VERBATIM)
    list(APPEND QUORVAN_QM_FILES ${qm})
endforeach()
add_custom_target(quorvan-translations ALL DEPENDS ${QUORVAN_QM_FILES})
install(FILES ${QUORVAN_QM_FILES} DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/quorvan/translations)

# The one way the .ts files are read from the sources; the test of the
# translations runs the same command on copies.
set(QUORVAN_LUPDATE_ARGS -silent -I ${CMAKE_SOURCE_DIR}/src -locations none -no-obsolete
    -tr-function-alias tr+=Tr -source-language en
    ${CMAKE_SOURCE_DIR}/src/ui ${CMAKE_SOURCE_DIR}/src/app)
add_custom_target(quorvan-lupdate
    COMMAND ${QUORVAN_LUPDATE} ${QUORVAN_LUPDATE_ARGS} -ts ${QUORVAN_TS_FILES}
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} VERBATIM)
