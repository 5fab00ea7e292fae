# The download for Windows users: both programs, a README for them and the licences of every
# component linked in, zipped by CPack as tessmere-<version>-win64.zip with its SHA-256 beside.
# scripts/release makes it from the release preset; scripts/check-release tries it as unpacked.

# The notices are the copyright files of the Debian packages the code comes from, so the
# package is made where they are: the cross build on Debian.
if(NOT (WIN32 AND CMAKE_CROSSCOMPILING))
    return()
endif()

# Every component with code in either program, as "name|Debian package...". The static
# libraries are those the link maps below name (scripts/check-release fails when one comes from
# a package not listed here); the header-only ones are those tessmere-model includes.
set(TESSMERE_NOTICES
    "CLI11|libcli11-dev"
    "JSON for Modern C++ (nlohmann/json)|nlohmann-json3-dev"
    "TinyGLTF|libtinygltf-dev"
    "stb (stb_image)|libstb-dev"
    "zlib|libz-mingw-w64-dev"
    "MinGW-w64 runtime, its C runtime start-up and winpthreads|mingw-w64-x86-64-dev"
    "GCC runtime libraries: libstdc++, libgcc|g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix")

string(CONCAT notices "Tessmere ${PROJECT_VERSION} contains code of the following components. "
       "Each one's\ncopyright and licence text follows as its Debian package ships it.\n")
set(read_files "")
foreach(notice IN LISTS TESSMERE_NOTICES)
    string(REPLACE "|" ";" notice "${notice}")
    list(POP_FRONT notice name)
    separate_arguments(packages UNIX_COMMAND "${notice}")
    set(versions "")
    set(texts "")
    foreach(package IN LISTS packages)
        execute_process(COMMAND dpkg-query -W -f=\${Version} ${package}
                        OUTPUT_VARIABLE version RESULT_VARIABLE failed)
        set(copyright /usr/share/doc/${package}/copyright)
        if(failed OR NOT EXISTS ${copyright})
            message(FATAL_ERROR "No licence of ${name}: Debian package ${package} not installed")
        endif()
        list(APPEND versions "${package} ${version}")
        # Several packages of one source share one copyright file.
        file(REAL_PATH ${copyright} copyright)
        if(NOT copyright IN_LIST read_files)
            list(APPEND read_files ${copyright})
            file(READ ${copyright} text)
            string(APPEND texts "${text}")
        endif()
    endforeach()
    list(JOIN versions ", " versions)
    string(APPEND notices "\n\n==== ${name}\n==== Debian: ${versions}\n\n${texts}")
endforeach()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${read_files})
# Windows users open these with Notepad.
string(REPLACE "\n" "\r\n" notices "${notices}")
file(WRITE ${CMAKE_BINARY_DIR}/package/THIRD-PARTY-NOTICES.txt "${notices}")
configure_file(${PROJECT_SOURCE_DIR}/docs/README-windows.txt.in
               ${CMAKE_BINARY_DIR}/package/README.txt @ONLY NEWLINE_STYLE CRLF)

# What goes into each program, for the check of the notices.
foreach(program tessmere tessmere-model)
    target_link_options(${program} PRIVATE LINKER:-Map=$<TARGET_FILE:${program}>.map)
endforeach()

install(TARGETS tessmere tessmere-model RUNTIME DESTINATION .)
install(FILES ${CMAKE_BINARY_DIR}/package/README.txt
              ${CMAKE_BINARY_DIR}/package/THIRD-PARTY-NOTICES.txt DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME tessmere-${PROJECT_VERSION}-win64)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CHECKSUM SHA256)
include(CPack)
