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

# The long description is the README's paragraph about Quillmark, found between two marks there,
# so that the package and the README never say different things. Markdown's emphasis and code
# marks are dropped and the words wrapped to fit Debian's 80 columns with the leading blank.
function(quillmark_readme_description out)
  set(readme_path ${CMAKE_SOURCE_DIR}/README.md)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${readme_path})
  file(READ ${readme_path} readme)
  set(from_mark "<!-- The Debian package's description: from here -->\n")
  set(to_mark "\n<!-- to here -->")
  string(FIND "${readme}" "${from_mark}" from)
  string(FIND "${readme}" "${to_mark}" to)
  string(LENGTH "${from_mark}" mark_length)
  math(EXPR from "${from} + ${mark_length}")
  if(from LESS mark_length OR to LESS from)
    message(FATAL_ERROR "README.md has no package description between the marks '${from_mark}' "
                        "and '${to_mark}'")
  endif()
  math(EXPR length "${to} - ${from}")
  string(SUBSTRING "${readme}" ${from} ${length} text)
  string(REGEX REPLACE "[*`]" "" text "${text}")
  # A semicolon would split CMake's word list: it travels as a control character.
  string(ASCII 1 semicolon)
  string(REPLACE ";" "${semicolon}" text "${text}")
  string(REGEX REPLACE "[ \t\n]+" ";" words "${text}")
  set(wrapped "")
  set(line "")
  foreach(word IN LISTS words)
    if(line STREQUAL "")
      set(line "${word}")
      continue()
    endif()
    string(LENGTH "${line} ${word}" width)
    if(width GREATER 79)
      string(APPEND wrapped "${line}\n")
      set(line "${word}")
    else()
      string(APPEND line " ${word}")
    endif()
  endforeach()
  string(APPEND wrapped "${line}")
  string(REPLACE "${semicolon}" ";" wrapped "${wrapped}")
  set(${out} "${wrapped}" PARENT_SCOPE)
endfunction()
quillmark_readme_description(CPACK_DEBIAN_PACKAGE_DESCRIPTION)

set(CPACK_DEBIAN_PACKAGE_NAME quillmark)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${deb_arch})
set(CPACK_DEBIAN_FILE_NAME quillmark_${QUILLMARK_VERSION}_${deb_arch}.deb)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${QUILLMARK_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Quillmark developers <quillmark@example.org>"
    CACHE STRING "Maintainer field of the Debian package")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The settings reach CPack written into CPackConfig.cmake; quoted, a description with quotation
# marks in it would come out cut up.
set(CPACK_VERBATIM_VARIABLES ON)
include(CPack)
