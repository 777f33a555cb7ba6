# SPDX-License-Identifier: GPL-3.0-or-later
# veldo_install_gzipped(<file> <destination>): installs <file>.gz, compressed at build time
# as Debian wants manual pages: at the highest level, and without a name or
# time stamp in the header, so that two builds give the same bytes.
function(veldo_install_gzipped file destination)
    get_filename_component(source ${file} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    get_filename_component(name ${file} NAME)
    set(copy ${CMAKE_CURRENT_BINARY_DIR}/gzipped/${name})
    set(gzipped ${copy}.gz)
    add_custom_command(OUTPUT ${gzipped}
        COMMAND ${CMAKE_COMMAND} -E copy ${source} ${copy}
        COMMAND gzip -9 -n -f ${copy}
        DEPENDS ${source} VERBATIM)
    string(MAKE_C_IDENTIFIER "gzip_${name}" target)
    add_custom_target(${target} ALL DEPENDS ${gzipped})
    install(FILES ${gzipped} DESTINATION ${destination})
endfunction()
