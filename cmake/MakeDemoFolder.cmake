# Lays out a ready application folder: the program, the stand-in companion tools under the six
# tool names with their icons, sample data files and web links. Files the user changed there are
# left alone.
file(MAKE_DIRECTORY ${DEMO_DIR}/data)
file(COPY ${KELDARA_EXE} DESTINATION ${DEMO_DIR})
foreach(tool prv.exe ltpc.exe imgkeep.exe mdlib.exe cnl.exe MeasSwap.exe)
    configure_file(${STANDIN_EXE} ${DEMO_DIR}/${tool} COPYONLY)
endforeach()
file(GLOB samples ${SOURCE_DIR}/resources/demo/data/* ${SOURCE_DIR}/resources/data/*)
foreach(sample ${samples})
    get_filename_component(name ${sample} NAME)
    if(NOT EXISTS ${DEMO_DIR}/data/${name})
        file(COPY ${sample} DESTINATION ${DEMO_DIR}/data)
    endif()
endforeach()
# A few links for the "Web" tab; a list already there is the user's and stays as it is.
if(NOT EXISTS ${DEMO_DIR}/QELWebList.txt)
    file(COPY ${SOURCE_DIR}/resources/demo/QELWebList.txt DESTINATION ${DEMO_DIR})
endif()
# The stand-in tools' icons, where the suite installs its tools' icons: "icons" in the
# application folder, laid out like an icon theme.
file(GLOB_RECURSE icons RELATIVE ${SOURCE_DIR}/resources/demo/icons ${SOURCE_DIR}/resources/demo/icons/*)
foreach(icon ${icons})
    if(NOT EXISTS ${DEMO_DIR}/icons/${icon})
        get_filename_component(folder ${DEMO_DIR}/icons/${icon} DIRECTORY)
        file(COPY ${SOURCE_DIR}/resources/demo/icons/${icon} DESTINATION ${folder})
    endif()
endforeach()
