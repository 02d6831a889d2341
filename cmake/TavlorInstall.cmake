# Installing on a freedesktop.org system (cmake --install, prefix /usr or /usr/local) and the
# Debian package built from the same rules (make package).
include(GNUInstallDirs)

set(TAVLOR_APP_ID invalid.tavlor.Tavlor)
set(TAVLOR_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging/linux)
# Debian wants the package's documentation under its own name, whatever the project is called.
set(TAVLOR_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/tavlor)

install(TARGETS tavlor RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Beside tavlor: it finds the data file by the program's own folder.
if(TARGET tavlor-status)
    install(TARGETS tavlor-status RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(FILES ${TAVLOR_PACKAGING_DIR}/${TAVLOR_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${TAVLOR_PACKAGING_DIR}/${TAVLOR_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/resources/tavlor.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/resources/VemoIco.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps
        RENAME tavlor.png)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${TAVLOR_DOC_DIR} RENAME copyright)

# Debian's policy asks for the changelog and the manual page compressed with gzip -9n (no name,
# no time stamp), so that two builds of one source give the same package.
function(tavlor_install_gzipped source destination)
    get_filename_component(name ${source} NAME)
    set(packed ${CMAKE_BINARY_DIR}/packaging/${name}.gz)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
    file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/packaging)
    execute_process(COMMAND gzip -9n -c ${source} OUTPUT_FILE ${packed} RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "gzip could not pack ${source}")
    endif()
    install(FILES ${packed} DESTINATION ${destination})
endfunction()
tavlor_install_gzipped(${TAVLOR_PACKAGING_DIR}/changelog ${TAVLOR_DOC_DIR})
tavlor_install_gzipped(${TAVLOR_PACKAGING_DIR}/tavlor.1 ${CMAKE_INSTALL_MANDIR}/man1)
tavlor_install_gzipped(${TAVLOR_PACKAGING_DIR}/tavlor-status.1 ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tavlor)
set(CPACK_PACKAGE_VENDOR Tavlor-Team)
set(CPACK_PACKAGE_CONTACT "Tavlor-Team <kontakt@tavlor.invalid>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Qt finds no display without its platform plugins, which its libraries only recommend.
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS network-manager)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "traffic meter for metered internet links")
# CPack puts the summary first and indents these lines itself; an empty line separates paragraphs.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Tavlor lives as an icon in the notification area and, once a second, decides
whether the machine is online and counts online time (since the last reset,
today and in the current session), downloaded and uploaded bytes and the
current speeds. The counters survive restarts in the user's data folder.

A connection manager dials and hangs up NetworkManager's mobile broadband,
DSL and Bluetooth dial-up connections; a monitor window graphs the speeds.
tavlor-status prints the counters as text or JSON for scripts, cron and
status bars, live from the running program over the session bus.
The user interface is German.")
include(CPack)
