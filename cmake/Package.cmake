# `cpack -G DEB` in the build folder makes quorvan_<version>_<arch>.deb of what
# `cmake --install` puts in place, under /usr.

# The program's one version text.
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/../src/common/product.h QUORVAN_VERSION_LINE
     REGEX "kVersionText = ")
string(REGEX REPLACE ".*\"([^\"]+)\".*" "\\1" QUORVAN_VERSION "${QUORVAN_VERSION_LINE}")

set(CPACK_PACKAGE_NAME quorvan)
set(CPACK_PACKAGE_VERSION ${QUORVAN_VERSION})
set(CPACK_PACKAGE_VENDOR Tellurane)
set(CPACK_PACKAGE_CONTACT "Tellurane <quorvan@example.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "bulk file renamer with a preview of every new name")
# Lines of at most 80 characters, as Debian's control files want them.
set(CPACK_PACKAGE_DESCRIPTION
    "Quorvan renames files in bulk: text before the name or the extension, a\n\
change of letter case, search and replace, numbers or letters, new extensions,\n\
attributes and file times, and CD track titles from a CDDB server, with\n\
filters by attributes, dates and extensions. Every new name is shown before\n\
anything changes, and a run can leave a log and an undo script. quorvan-cli\n\
runs the same rules from scripts.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.example.com/quorvan/)
# dpkg-shlibdeps adds the libraries; the undo script needs setfattr.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS attr)
# The scalable icon and banner, and audio preview of .mp3 and .wav files.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libqt6svg6, gstreamer1.0-plugins-good")
# Qt's own texts (Yes, No, Cancel, the file dialogs) in the window's language.
string(APPEND CPACK_DEBIAN_PACKAGE_RECOMMENDS ", qt6-translations-l10n")

# What Debian asks of every package: its copyright, and the changelog
# compressed as dpkg installs it (a native package's changelog.gz).
set(QUORVAN_DEBIAN ${CMAKE_CURRENT_LIST_DIR}/debian)
set(QUORVAN_CHANGELOG ${CMAKE_BINARY_DIR}/debian/changelog.gz)
add_custom_command(OUTPUT ${QUORVAN_CHANGELOG}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/debian
    COMMAND sh -c "gzip -9n -c \"$0\" >\"$1\"" ${QUORVAN_DEBIAN}/changelog ${QUORVAN_CHANGELOG}
    DEPENDS ${QUORVAN_DEBIAN}/changelog VERBATIM)
add_custom_target(quorvan-changelog ALL DEPENDS ${QUORVAN_CHANGELOG})
install(FILES ${QUORVAN_DEBIAN}/copyright ${QUORVAN_CHANGELOG} DESTINATION ${CMAKE_INSTALL_DOCDIR})

include(CPack)
