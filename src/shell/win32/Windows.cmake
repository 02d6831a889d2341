# The Windows program: Tavlor.exe, one file with Qt, the C++ run-time and the icon and
# version resource inside, for the GUI subsystem (no console window).
set(TAVLOR_ICON_FILE ${PROJECT_SOURCE_DIR}/resources/VemoIco.ico)
set(TAVLOR_MANIFEST_FILE ${CMAKE_CURRENT_LIST_DIR}/Tavlor.manifest)
configure_file(${CMAKE_CURRENT_LIST_DIR}/Tavlor.rc.in ${CMAKE_CURRENT_BINARY_DIR}/Tavlor.rc @ONLY)
target_sources(tavlor PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/Tavlor.rc)
set_target_properties(tavlor PROPERTIES OUTPUT_NAME Tavlor WIN32_EXECUTABLE ON)
target_link_libraries(tavlor PRIVATE tavlor_platform_win32_qt)
# No libstdc++, libgcc or winpthread DLL beside the program; stripped, since nobody debugs
# the shipped file and the symbols would double its size.
target_link_options(tavlor PRIVATE -static -static-libgcc -static-libstdc++ -s)
