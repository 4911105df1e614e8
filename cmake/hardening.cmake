# Debian's hardening flags for the program as it is installed (build/release and the package):
# what `DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags` gives, that is _FORTIFY_SOURCE,
# the strong stack protector, format-string errors, PIE, and a read-only relocation table bound
# at start-up (relro, bind-now). Newer dpkg adds stack-clash and, on x86, control-flow protection
# (CET) to these; Debian 12's does not, so they are added here when dpkg left them out.
# The sanitizer and fuzz builds keep their own flags: _FORTIFY_SOURCE's checked functions hide
# accesses from AddressSanitizer.
option(QUILLMARK_HARDEN "Build with Debian's hardening flags (dpkg-buildflags, hardening=+all)"
       OFF)
if(NOT QUILLMARK_HARDEN)
  return()
endif()
if(QUILLMARK_SANITIZE OR QUILLMARK_FUZZ)
  message(FATAL_ERROR "QUILLMARK_HARDEN is for the installed program, not for a sanitizer build")
endif()

find_program(DPKG_BUILDFLAGS dpkg-buildflags REQUIRED)

# One kind of flags as a list; run from the source folder, so that the file-name map dpkg adds
# turns this checkout's path into "." and the program carries no build path.
function(_quillmark_buildflags kind out)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
            ${DPKG_BUILDFLAGS} --get ${kind}
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
    OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE
    COMMAND_ERROR_IS_FATAL ANY)
  separate_arguments(flags UNIX_COMMAND "${flags}")
  set(${out} ${flags} PARENT_SCOPE)
endfunction()

_quillmark_buildflags(CPPFLAGS hardening_cppflags)
_quillmark_buildflags(CFLAGS hardening_cflags)
_quillmark_buildflags(CXXFLAGS hardening_cxxflags)
_quillmark_buildflags(LDFLAGS hardening_ldflags)

if(NOT "${hardening_cxxflags}" MATCHES "-fstack-clash-protection")
  list(APPEND hardening_cflags -fstack-clash-protection)
  list(APPEND hardening_cxxflags -fstack-clash-protection)
endif()
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|i[3-6]86)$"
   AND NOT "${hardening_cxxflags}" MATCHES "-fcf-protection")
  list(APPEND hardening_cflags -fcf-protection)
  list(APPEND hardening_cxxflags -fcf-protection)
  # The linker marks a program as CET-ready only when every object in it is marked. Ours all are,
  # and so are the compiler's start files, but Debian 12's C library start files (Scrt1.o, crti.o,
  # crtn.o) carry no mark, which would leave the program unmarked. Their code is plain calls and
  # returns, which the shadow stack accepts; only their _init and _fini lack an indirect-branch
  # landing pad, and Linux enforces no indirect-branch tracking in user space. So the program is
  # marked for both.
  list(APPEND hardening_ldflags -Wl,-z,ibt -Wl,-z,shstk)
endif()

add_compile_options(${hardening_cppflags} "$<$<COMPILE_LANGUAGE:C>:${hardening_cflags}>"
                    "$<$<COMPILE_LANGUAGE:CXX>:${hardening_cxxflags}>")
add_link_options(${hardening_ldflags})
# PIE even where the compiler does not make it by default.
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
include(CheckPIESupported)
check_pie_supported()
message(STATUS "Hardening: ${hardening_cppflags} ${hardening_cxxflags} ${hardening_ldflags}")
