# Installing (cmake --install BUILD [--prefix P]) and the Debian package (cpack -G DEB in BUILD).
# The program goes to bin/, every man page in man/ to share/man/man1/, the README and the demo pages
# to share/doc/pelong/. Developer tools named pelong-* install themselves (tools/CMakeLists.txt), each
# with its page in man/.
include(GNUInstallDirs)

install(TARGETS pelong RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
file(GLOB man_pages CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/man/*.1)
install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${CMAKE_SOURCE_DIR}/tools/demo/welcome.ans ${CMAKE_SOURCE_DIR}/tools/demo/utf8.ans
              ${CMAKE_SOURCE_DIR}/tools/demo/petscii.seq
        DESTINATION ${CMAKE_INSTALL_DOCDIR}/demo)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pelong)
set(CPACK_PACKAGE_CONTACT "Pelorin NG developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "telnet client for bulletin-board systems in a text terminal")
set(CPACK_PACKAGE_DESCRIPTION
    "Pelorin NG calls bulletin-board systems over telnet: ANSI art in the VGA colours, CP437 and UTF-8 \
text, VT100 and Commodore PETSCII in 40 and 80 columns, a dialing directory, SyncTERM phonebook \
import, Zmodem transfers, macros and a status bar.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
# Dependencies from the libraries the binaries link: the C and C++ runtimes always, SDL2 and SDL2_ttf
# only in a build that found them for the graphics window.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
