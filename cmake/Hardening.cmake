# SPDX-License-Identifier: GPL-3.0-or-later
# The distribution's hardening flags, as dpkg-buildflags hands them to Debian's own packages
# (fortify, stack protector, format checks, relro and bind-now; PIE is the compiler's
# default), in every optimised build. Left out under the sanitizers and the fuzzer, which
# instrument the code their own way. The optimisation and debug levels stay the build type's.
option(VELDO_HARDENING "Build optimised configurations with dpkg-buildflags' hardening flags" ON)
if(NOT VELDO_HARDENING OR VELDO_SANITIZE OR VELDO_FUZZ)
    return()
endif()
find_program(VELDO_DPKG_BUILDFLAGS dpkg-buildflags)
if(NOT VELDO_DPKG_BUILDFLAGS)
    message(WARNING "dpkg-buildflags was not found, so the programs are built without hardening flags: "
        "install dpkg-dev, or pass -DVELDO_HARDENING=OFF to build without them knowingly")
    return()
endif()

set(optimised $<CONFIG:Release,RelWithDebInfo,MinSizeRel>)
foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
    execute_process(
        COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all ${VELDO_DPKG_BUILDFLAGS} --get ${kind}
        WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
        OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(flags UNIX_COMMAND "${flags}")
    list(FILTER flags EXCLUDE REGEX "^-(O.*|g)$")
    if(kind STREQUAL LDFLAGS)
        add_link_options("$<${optimised}:${flags}>")
    else()
        add_compile_options("$<${optimised}:${flags}>")
    endif()
endforeach()
