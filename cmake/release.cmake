# The release's one version number lives in project() in the top CMakeLists.txt;
# everything else takes it from there: the version blocks of brumby.exe and
# ravlet.dll, the release zip's name, and (checked here) the README's release line.
set(TUNEWELL_MAKER "Varnel")
set(TUNEWELL_COPYRIGHT "Copyright (C) 2026 Varnel")
set(TUNEWELL_RELEASE_NAME "tunewell-${PROJECT_VERSION}-win64")
set(TUNEWELL_RELEASE_ZIP "${PROJECT_SOURCE_DIR}/build/dist/${TUNEWELL_RELEASE_NAME}.zip")

# The README names the current release; a version bump must change it too.
file(STRINGS ${PROJECT_SOURCE_DIR}/README.md TUNEWELL_README_RELEASE REGEX "^Current release: ")
if(NOT TUNEWELL_README_RELEASE STREQUAL "Current release: ${PROJECT_VERSION} (`${TUNEWELL_RELEASE_NAME}.zip`).")
    message(FATAL_ERROR "README.md's line 'Current release: ...' must read "
        "'Current release: ${PROJECT_VERSION} (`${TUNEWELL_RELEASE_NAME}.zip`).', not '${TUNEWELL_README_RELEASE}'")
endif()

# Adds a version block to a Windows target: its description, its file name and its kind (VFT_APP, VFT_DLL).
function(tunewell_version_resource target description file type)
    get_filename_component(TUNEWELL_RESOURCE_NAME ${file} NAME_WE)
    set(TUNEWELL_RESOURCE_DESCRIPTION ${description})
    set(TUNEWELL_RESOURCE_FILE ${file})
    set(TUNEWELL_RESOURCE_TYPE ${type})
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/${TUNEWELL_RESOURCE_NAME}_version.rc)
    configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${rc} @ONLY)
    target_sources(${target} PRIVATE ${rc})
endfunction()

# The `release` target of the Windows build: scripts/make_release.py packs the
# programs, the skins, the Windows read-me and the licence notices of what is
# linked in (libjpeg-turbo in ravlet.dll; the MinGW-w64 runtime and GCC's
# support libraries, linked statically into both) into TUNEWELL_RELEASE_ZIP.
function(tunewell_release_target libjpeg_source)
    find_program(TUNEWELL_PYTHON python3 REQUIRED)
    set(docs /usr/share/doc)
    add_custom_target(release
        COMMAND ${TUNEWELL_PYTHON} ${PROJECT_SOURCE_DIR}/scripts/make_release.py
            --out ${TUNEWELL_RELEASE_ZIP} --version ${PROJECT_VERSION}
            --readme ${PROJECT_SOURCE_DIR}/docs/README-windows.txt
            --file brumby.exe=$<TARGET_FILE:brumby> --file ravlet.dll=$<TARGET_FILE:ravlet>
            --file back.vnb=${PROJECT_SOURCE_DIR}/assets/back.vnb
            --file backmouse.vnb=${PROJECT_SOURCE_DIR}/assets/backmouse.vnb
            --notice libjpeg-turbo=${libjpeg_source}/LICENSE.md,${libjpeg_source}/README.ijg
            --notice mingw-w64-runtime=${docs}/mingw-w64-x86-64-dev/copyright
            --notice gcc-runtime=${docs}/gcc-mingw-w64-x86-64-win32-runtime/copyright
        DEPENDS brumby ravlet
        COMMENT "Packing ${TUNEWELL_RELEASE_NAME}.zip"
        VERBATIM)
endfunction()
