# Removes exactly the files the last install wrote, as listed in its manifest. The list files the
# program made in its application folder are not in the manifest and stay where they are.
if(NOT EXISTS "${MANIFEST}")
    message(FATAL_ERROR "Nothing to uninstall: ${MANIFEST} does not exist")
endif()
file(STRINGS "${MANIFEST}" files)
foreach(file IN LISTS files)
    set(path "$ENV{DESTDIR}${file}")
    if(EXISTS "${path}" OR IS_SYMLINK "${path}")
        message(STATUS "Removing ${path}")
        file(REMOVE "${path}")
    endif()
endforeach()
