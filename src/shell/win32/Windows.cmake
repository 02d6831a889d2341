# The Windows program: Tavlor.exe for the GUI subsystem (no console window), with the icon,
# version and manifest resource; against a static Qt (scripts/build-qt-windows.sh) one file
# with Qt and the C++ run-time inside.
set(TAVLOR_ICON_FILE ${PROJECT_SOURCE_DIR}/resources/VemoIco.ico)
set(TAVLOR_MANIFEST_FILE ${CMAKE_CURRENT_LIST_DIR}/Tavlor.manifest)
configure_file(${CMAKE_CURRENT_LIST_DIR}/Tavlor.rc.in ${CMAKE_CURRENT_BINARY_DIR}/Tavlor.rc @ONLY)
target_sources(tavlor PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/Tavlor.rc)
set_target_properties(tavlor PROPERTIES OUTPUT_NAME Tavlor WIN32_EXECUTABLE ON)
target_link_libraries(tavlor PRIVATE tavlor_platform_win32_qt)
if(MINGW)
    # No libstdc++, libgcc or winpthread DLL beside the program; stripped, since nobody debugs
    # the shipped file and the symbols would double its size.
    target_link_options(tavlor PRIVATE -static-libgcc -static-libstdc++ -s)
    get_target_property(tavlor_qt_type Qt6::Core TYPE)
    if(tavlor_qt_type STREQUAL "STATIC_LIBRARY")
        target_link_options(tavlor PRIVATE -static)
    endif()
elseif(MSVC)
    # The resource carries the manifest already.
    target_link_options(tavlor PRIVATE /MANIFEST:NO)
endif()

# Qt's German texts (buttons and standard dialogs), which the Linux program takes from the system.
# They are the same files for every platform.
set(TAVLOR_QT_GERMAN /usr/share/qt6/translations/qtbase_de.qm)
if(EXISTS ${TAVLOR_QT_GERMAN})
    qt_add_resources(tavlor tavlor_qt_german PREFIX /i18n BASE /usr/share/qt6/translations
                     FILES ${TAVLOR_QT_GERMAN})
else()
    message(WARNING "${TAVLOR_QT_GERMAN} is missing (Debian's qt6-translations-l10n): Qt's buttons stay English")
endif()
