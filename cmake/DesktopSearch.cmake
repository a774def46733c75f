# The hub's entries in the desktop's search: keldara-search beside the program, the session bus's
# service file that starts it on the first search, the shell's search-provider key file and the
# runner's plugin file, for the program installed in `app_dir` (relative to the prefix); any
# further arguments (a component) go to each install(). Linux only.
function(keldara_install_desktop_search app_dir)
if(WIN32)
    return()
endif()

install(TARGETS keldara-search RUNTIME DESTINATION ${app_dir} ${ARGN})
install(CODE "set(KELDARA_APP_ID ${KELDARA_APP_ID})" ${ARGN})
install(CODE "set(KELDARA_SEARCH_PROGRAM \"${app_dir}/keldara-search\")" ${ARGN})
install(CODE [[
    set(share "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/share")
    set(bus_name "${KELDARA_APP_ID}.SearchProvider")
    set(object_path "/org/keldara/Keldara/SearchProvider")
    set(program "${CMAKE_INSTALL_PREFIX}/${KELDARA_SEARCH_PROGRAM}")
    foreach(file_and_text
            "dbus-1/services/${bus_name}.service|[D-BUS Service]\nName=${bus_name}\nExec=${program}\n"
            "gnome-shell/search-providers/${KELDARA_APP_ID}.search-provider.ini|[Shell Search Provider]\nDesktopId=${KELDARA_APP_ID}.desktop\nBusName=${bus_name}\nObjectPath=${object_path}\nVersion=2\n"
            "krunner/dbusplugins/${KELDARA_APP_ID}.desktop|[Desktop Entry]\nType=Service\nName=Keldara\nComment=Data files, tools and web links of the Keldara hub\nIcon=${KELDARA_APP_ID}\nX-KDE-ServiceTypes=Plasma/Runner\nX-KDE-PluginInfo-Name=${KELDARA_APP_ID}\nX-KDE-PluginInfo-EnabledByDefault=true\nX-Plasma-API=DBus\nX-Plasma-DBusRunner-Service=${bus_name}\nX-Plasma-DBusRunner-Path=${object_path}\n")
        string(FIND "${file_and_text}" "|" bar)
        string(SUBSTRING "${file_and_text}" 0 ${bar} file)
        math(EXPR bar "${bar} + 1")
        string(SUBSTRING "${file_and_text}" ${bar} -1 text)
        file(WRITE "${share}/${file}" "${text}")
        list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${CMAKE_INSTALL_PREFIX}/share/${file}")
        message(STATUS "Installing: ${share}/${file}")
    endforeach()
]] ${ARGN})
endfunction()
