# Per-user (or system) installation:
#   cmake --install build/release --prefix ~/.local
# puts the program into <prefix>/share/keldara/, which is its application folder (the list files
# are written there, so it must be the user's), a "keldara" command into <prefix>/bin, the desktop
# entry (which opens the suite's data files and offers one action per kind of new file), the data
# files' types, the icons in the hicolor theme and the AppStream metainfo, then brings the
# desktop's type and application databases under <prefix>/share up to date. The uninstall target
# removes exactly the installed files, never the lists the program made beside them, and updates
# those databases again. The machine-wide layout of the Debian package is the component
# "machine" (cmake/InstallMachineWide.cmake), which a plain `cmake --install` leaves out.
set(KELDARA_APP_ID org.keldara.Keldara)
set(KELDARA_APP_DIR share/keldara)

install(TARGETS keldara RUNTIME DESTINATION ${KELDARA_APP_DIR})

# The command is a link to the program, so that the program's folder stays the real one.
install(CODE [[
    set(bin "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/bin")
    file(MAKE_DIRECTORY "${bin}")
    file(REMOVE "${bin}/keldara")
    file(CREATE_LINK ../share/keldara/keldara "${bin}/keldara" SYMBOLIC)
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${CMAKE_INSTALL_PREFIX}/bin/keldara")
    message(STATUS "Installing: ${bin}/keldara")
]])

# The desktop entry names the command by its installed path, which is known only now.
install(CODE "set(KELDARA_APP_ID ${KELDARA_APP_ID})")
install(CODE "set(KELDARA_SOURCE_DIR \"${PROJECT_SOURCE_DIR}\")")
install(CODE [[
    set(entry "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/share/applications/${KELDARA_APP_ID}.desktop")
    set(KELDARA_COMMAND "${CMAKE_INSTALL_PREFIX}/bin/keldara")
    set(KELDARA_EXEC "\"${KELDARA_COMMAND}\"")
    configure_file("${KELDARA_SOURCE_DIR}/resources/desktop/${KELDARA_APP_ID}.desktop.in"
        "${entry}" @ONLY)
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES
        "${CMAKE_INSTALL_PREFIX}/share/applications/${KELDARA_APP_ID}.desktop")
    message(STATUS "Installing: ${entry}")
]])

configure_file(${PROJECT_SOURCE_DIR}/resources/desktop/${KELDARA_APP_ID}.metainfo.xml
    ${CMAKE_BINARY_DIR}/desktop/${KELDARA_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/desktop/${KELDARA_APP_ID}.metainfo.xml
    DESTINATION share/metainfo)

# The data files' types, for the desktop's type database.
install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/${KELDARA_APP_ID}.mime.xml
    DESTINATION share/mime/packages RENAME ${KELDARA_APP_ID}.xml)

# Icons drawn from our SVG at every size the theme asks for, and the SVG itself.
set(icon_svg ${PROJECT_SOURCE_DIR}/resources/icons/keldara.svg)
set(icon_pngs)
foreach(size 16 24 32 48 64 128 256)
    set(png ${CMAKE_BINARY_DIR}/icons/${size}x${size}/${KELDARA_APP_ID}.png)
    add_custom_command(OUTPUT ${png}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}x${size}
        COMMAND keldara_render_icon ${icon_svg} ${png} ${size}
        DEPENDS keldara_render_icon ${icon_svg}
        VERBATIM)
    list(APPEND icon_pngs ${png})
    install(FILES ${png} DESTINATION share/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(desktop_icons ALL DEPENDS ${icon_pngs})
install(FILES ${icon_svg} DESTINATION share/icons/hicolor/scalable/apps
    RENAME ${KELDARA_APP_ID}.svg)

# The desktop learns of the types and of what the entry opens. A staged install (DESTDIR, for a
# package) leaves that to the package's own triggers.
install(CODE [[
    if("$ENV{DESTDIR}" STREQUAL "")
        include("${KELDARA_SOURCE_DIR}/cmake/DesktopDatabases.cmake")
        keldara_update_desktop_databases("${CMAKE_INSTALL_PREFIX}/share")
    endif()
]])

include(${PROJECT_SOURCE_DIR}/cmake/DesktopSearch.cmake)
keldara_install_desktop_search(${KELDARA_APP_DIR})
include(${CMAKE_CURRENT_LIST_DIR}/InstallMachineWide.cmake)

add_custom_target(uninstall
    COMMAND ${CMAKE_COMMAND} -DMANIFEST=${CMAKE_BINARY_DIR}/install_manifest.txt
        -P ${PROJECT_SOURCE_DIR}/cmake/Uninstall.cmake
    COMMENT "Removing the installed files (the lists in the application folder stay)")
