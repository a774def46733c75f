# The machine-wide layout, which the Debian package is made of (scripts/package-deb.sh):
#   DESTDIR=<root> cmake --install <build> --component machine --prefix /usr
# The program and its own files go into <prefix>/lib/keldara/ with the marker "machine-wide",
# which makes every user's application folder one of their own ($XDG_DATA_HOME/keldara); the
# example file goes there too, for each user's first start. A "keldara" command in <prefix>/bin,
# the desktop entry (naming the command on the search path), the metainfo, the data files' types,
# the icons and the manual page go under <prefix>/share. The package's own triggers bring the
# desktop's databases up to date. None of this is installed by a plain `cmake --install`, which
# stays the per-user layout.
set(KELDARA_MACHINE COMPONENT machine EXCLUDE_FROM_ALL)

install(TARGETS keldara RUNTIME DESTINATION lib/keldara ${KELDARA_MACHINE})
# The desktop's search of every user's entries (DesktopSearch.cmake, included before this file).
keldara_install_desktop_search(lib/keldara ${KELDARA_MACHINE})
install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/machine-wide
    DESTINATION lib/keldara ${KELDARA_MACHINE})
install(FILES ${PROJECT_SOURCE_DIR}/resources/data/CRNexample.crn
    DESTINATION lib/keldara/data ${KELDARA_MACHINE})
install(CODE [[
    set(bin "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/bin")
    file(MAKE_DIRECTORY "${bin}")
    file(REMOVE "${bin}/keldara")
    file(CREATE_LINK ../lib/keldara/keldara "${bin}/keldara" SYMBOLIC)
    message(STATUS "Installing: ${bin}/keldara")
]] ${KELDARA_MACHINE})

set(KELDARA_COMMAND keldara)
set(KELDARA_EXEC keldara)
configure_file(${PROJECT_SOURCE_DIR}/resources/desktop/${KELDARA_APP_ID}.desktop.in
    ${CMAKE_BINARY_DIR}/desktop/machine/${KELDARA_APP_ID}.desktop @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/desktop/machine/${KELDARA_APP_ID}.desktop
    DESTINATION share/applications ${KELDARA_MACHINE})
install(FILES ${CMAKE_BINARY_DIR}/desktop/${KELDARA_APP_ID}.metainfo.xml
    DESTINATION share/metainfo ${KELDARA_MACHINE})
install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/${KELDARA_APP_ID}.mime.xml
    DESTINATION share/mime/packages RENAME ${KELDARA_APP_ID}.xml ${KELDARA_MACHINE})
foreach(png IN LISTS icon_pngs)
    get_filename_component(size_dir ${png} DIRECTORY)
    get_filename_component(size ${size_dir} NAME)
    install(FILES ${png} DESTINATION share/icons/hicolor/${size}/apps ${KELDARA_MACHINE})
endforeach()
install(FILES ${icon_svg} DESTINATION share/icons/hicolor/scalable/apps
    RENAME ${KELDARA_APP_ID}.svg ${KELDARA_MACHINE})
install(FILES ${PROJECT_SOURCE_DIR}/resources/man/keldara.1
    DESTINATION share/man/man1 ${KELDARA_MACHINE})
