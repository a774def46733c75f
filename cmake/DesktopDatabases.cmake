# Brings the desktop's databases under a share folder up to date: the type database from its
# packages, and the cache of which desktop entries open which types. A tool that is not installed
# is skipped (the desktop then reads the files themselves, more slowly).
function(keldara_update_desktop_databases share)
    find_program(KELDARA_UPDATE_MIME update-mime-database)
    if(KELDARA_UPDATE_MIME AND EXISTS "${share}/mime/packages")
        message(STATUS "Updating the type database in ${share}/mime")
        execute_process(COMMAND "${KELDARA_UPDATE_MIME}" "${share}/mime")
    endif()
    find_program(KELDARA_UPDATE_DESKTOP update-desktop-database)
    if(KELDARA_UPDATE_DESKTOP AND EXISTS "${share}/applications")
        message(STATUS "Updating the desktop entries' cache in ${share}/applications")
        execute_process(COMMAND "${KELDARA_UPDATE_DESKTOP}" "${share}/applications")
    endif()
endfunction()
