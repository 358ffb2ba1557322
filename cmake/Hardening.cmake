# The hardening Debian builds every package with: fortified libc calls, a stack protector,
# format-string checks, read-only relocations bound at start (RELRO, BIND_NOW),
# position-independent programs, stack clash and control-flow protection. The flags come from
# dpkg-buildflags where it is installed (with every hardening feature on, and whatever
# DEB_*FLAGS_* a packager sets), else the same set is written here. Optimisation, debug information and path mapping stay with the
# build type and with cmake/Reproducible.cmake.
#
# _FORTIFY_SOURCE needs an optimised build (glibc warns otherwise, an error under SB_WERROR)
# and hides libc calls from AddressSanitizer's checks: the sanitizer and fuzzing builds go
# without it.
option(SB_HARDEN "Build with Debian's hardening flags (dpkg-buildflags)" ON)
if(NOT SB_HARDEN)
  return()
endif()

set(SB_HARDEN_CPPFLAGS -D_FORTIFY_SOURCE=2)
set(SB_HARDEN_CXXFLAGS -fstack-protector-strong -Wformat -Werror=format-security)
set(SB_HARDEN_LDFLAGS -Wl,-z,relro -Wl,-z,now)

find_program(SB_DPKG_BUILDFLAGS dpkg-buildflags)
mark_as_advanced(SB_DPKG_BUILDFLAGS)
if(SB_DPKG_BUILDFLAGS)
  foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
    execute_process(
      COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all ${SB_DPKG_BUILDFLAGS} --get ${kind}
      OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
      message(WARNING "dpkg-buildflags --get ${kind} failed; using the built-in hardening flags")
      continue()
    endif()
    separate_arguments(flags UNIX_COMMAND "${flags}")
    list(FILTER flags EXCLUDE REGEX "^-(O|g)|^-f(file|debug|macro)-prefix-map=")
    set(SB_HARDEN_${kind} ${flags})
  endforeach()
endif()

# Debian 12's dpkg-buildflags stops there; newer ones (Debian 13) add stack clash protection
# and control-flow protection where the target has it (x86: -fcf-protection, arm64: branch
# protection), which hardening-check asks for. Added when the compiler takes them without a
# warning (clang only warns about another target's flag).
include(CheckCXXCompilerFlag)
set(CMAKE_REQUIRED_FLAGS -Werror)
foreach(flag -fstack-clash-protection -fcf-protection -mbranch-protection=standard)
  list(FIND SB_HARDEN_CXXFLAGS ${flag} at)
  string(MAKE_C_IDENTIFIER "SB_HARDEN_TAKES${flag}" var)
  if(at EQUAL -1)
    check_cxx_compiler_flag(${flag} ${var})
    if(${var})
      list(APPEND SB_HARDEN_CXXFLAGS ${flag})
    endif()
  endif()
endforeach()
unset(CMAKE_REQUIRED_FLAGS)

string(TOUPPER "${CMAKE_BUILD_TYPE}" sb_build_type)
if(SB_SANITIZE OR SB_FUZZ OR NOT sb_build_type MATCHES "^(RELEASE|RELWITHDEBINFO|MINSIZEREL)$")
  list(FILTER SB_HARDEN_CPPFLAGS EXCLUDE REGEX "^-D_FORTIFY_SOURCE")
endif()

add_compile_options(${SB_HARDEN_CPPFLAGS} ${SB_HARDEN_CXXFLAGS})
add_link_options(${SB_HARDEN_LDFLAGS})
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
include(CheckPIESupported)
check_pie_supported()
string(JOIN " " sb_flags ${SB_HARDEN_CPPFLAGS} ${SB_HARDEN_CXXFLAGS} ${SB_HARDEN_LDFLAGS})
message(STATUS "Hardening: ${sb_flags}, PIE")
