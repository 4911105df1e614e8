# The Debian package of Quillmark (scripts/package): everything the install rules put under
# /usr, with the dependencies dpkg-shlibdeps finds in the program's libraries.

execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE deb_arch
                OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
if(NOT deb_arch)
  set(deb_arch ${CMAKE_SYSTEM_PROCESSOR})
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillmark)
set(CPACK_PACKAGE_VERSION ${QUILLMARK_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "media player for transcription typists")
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Quillmark plays one recording at a time, driven from the keyboard or a foot\n"
  "pedal while the typist writes the transcript in another program. It shows a\n"
  "running time code that can start from the time stored in the recording,\n"
  "copies it to the clipboard, keeps twelve bookmarks on the function keys,\n"
  "plays slowed down, steps back on every pause and moves finished recordings\n"
  "into a Completed folder.")
set(CPACK_DEBIAN_PACKAGE_NAME quillmark)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${deb_arch})
set(CPACK_DEBIAN_FILE_NAME quillmark_${QUILLMARK_VERSION}_${deb_arch}.deb)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${QUILLMARK_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Quillmark developers <quillmark@example.org>"
    CACHE STRING "Maintainer field of the Debian package")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
