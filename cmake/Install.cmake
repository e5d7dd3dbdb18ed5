# Installing the program the way the desktop expects, and its Debian package.
#   cmake --install build --prefix PREFIX
#   scripts/package            (a .deb in build/package)
include(GNUInstallDirs)

# An install (and CPack, which installs) needs only the program and its
# icons, which scripts/package builds; not every test and benchmark.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(CHAROLIST_APP_ID net.example.charov.charolist)

# The icon theme's pictures are drawn with the rune pictures; build them with
# the program so that an install finds them.
add_custom_target(charolist_icons ALL DEPENDS ${ICON_OUTPUTS})
# The install carries the second skin too: build it with them.
add_dependencies(charolist_icons charolist_birch_skin)

install(TARGETS charolist RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The sound module, where the program looks for it: PREFIX/bin/../lib/charolist.
install(TARGETS charolist_sound LIBRARY DESTINATION lib/charolist)
# The second skin, and the desktop entry with an action that starts the
# program with it. The entry names the skin by its full path, which is known
# only when installing (CPack installs under /usr, an install anywhere).
install(FILES ${BIRCH_PACKAGE} DESTINATION ${CMAKE_INSTALL_DATADIR}/charolist/skins)
install(CODE "
    set(CHAROLIST_SKINS \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/charolist/skins\")
    configure_file(\"${CMAKE_SOURCE_DIR}/packaging/charolist.desktop.in\"
                   \"${CMAKE_BINARY_DIR}/install/charolist.desktop\" @ONLY)")
install(FILES ${CMAKE_BINARY_DIR}/install/charolist.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/${CHAROLIST_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size ${CHAROLIST_ICON_SIZES})
    install(FILES ${ART_DIR}/icon-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME charolist.png)
endforeach()

# Licences: ours, and those of the font faces the program carries as its
# fallback, each with the copyright notices its licence asks to keep.
set(CHAROLIST_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/charolist)
install(FILES packaging/copyright DESTINATION ${CHAROLIST_DOC_DIR})
install(FILES LICENSE DESTINATION ${CHAROLIST_DOC_DIR} RENAME GPL-3)
set(CHAROLIST_FONT_LICENCES
    "fonts-liberation2:LiberationSerif-OFL-1.1"
    "fonts-sil-andika:Andika-OFL-1.1"
    "fonts-paratype:PTSans-ParaType-Free-Font-License")
foreach(entry ${CHAROLIST_FONT_LICENCES})
    string(REPLACE ":" ";" entry "${entry}")
    list(GET entry 0 package)
    list(GET entry 1 name)
    set(source /usr/share/doc/${package}/copyright)
    if(NOT EXISTS ${source})
        message(FATAL_ERROR "${source} is missing: run scripts/install-deps")
    endif()
    install(FILES ${source} DESTINATION ${CHAROLIST_DOC_DIR}/fonts RENAME ${name}.txt)
endforeach()

# The Debian package: shared libraries' packages found by dpkg-shlibdeps;
# the font packages and Qt's plugins are named by hand, since the program
# finds them at run time, not through the linker.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME charolist)
set(CPACK_PACKAGE_VERSION 0.1.0)
set(CPACK_PACKAGE_CONTACT "V. Charov <charov@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "oracle of the 24 Slavic runes")
# CPack puts the summary above this as the description's first line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Think of a question, choose a spread of one, four, five or six runes and
open the wooden runes that lie face down before you; their interpretations
fill a reading log that can be saved as text. The program is in Russian.
.
Code under the GNU GPL 3 or later; texts, pictures and music under
CC BY-SA 4.0. The font faces it carries as a fallback keep their licences:
the SIL Open Font License 1.1 (Liberation Serif, Andika) and the ParaType
Free Font License (PT Sans).")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://charov.example.net/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The libraries come from shlibdeps; Qt's window-system plugins are loaded
# at run time, so they are named here: X11 always, Wayland where one runs.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2, fonts-sil-andika, fonts-paratype, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_OUTPUT_CONFIG_FILE ${CMAKE_BINARY_DIR}/CPackConfig.cmake)
include(CPack)
