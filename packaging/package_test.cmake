# Builds the Debian package, lists it, unpacks it with dpkg -x into a temporary root, checks that
# it holds what Debian expects (compressed manual pages, copyright, changelog, stripped programs)
# and runs the unpacked linkmate-cli --version.
set(root ${BUILD_DIR}/package-test-root)
file(REMOVE_RECURSE ${root})
file(GLOB old ${BUILD_DIR}/linkmate_*.deb)
if(old)
    file(REMOVE ${old})
endif()
execute_process(COMMAND cpack -G DEB WORKING_DIRECTORY ${BUILD_DIR} RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "cpack failed: ${rc}")
endif()
file(GLOB deb ${BUILD_DIR}/linkmate_*.deb)
execute_process(COMMAND dpkg-deb --info ${deb} COMMAND grep -E "Package|Version|Depends|Maintainer")
execute_process(COMMAND dpkg -c ${deb} RESULT_VARIABLE rc)
execute_process(COMMAND dpkg -x ${deb} ${root} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "dpkg -x failed: ${rc}")
endif()
set(expected usr/bin/linkmate-cli usr/bin/linkmate-sim usr/share/man/man1/linkmate-cli.1.gz
    usr/share/man/man1/linkmate-sim.1.gz usr/share/bash-completion/completions/linkmate-cli
    usr/share/bash-completion/completions/linkmate-sim usr/share/doc/linkmate/copyright
    usr/share/doc/linkmate/changelog.Debian.gz)
if(GUI)
    list(APPEND expected usr/bin/linkmate usr/share/man/man1/linkmate.1.gz
         usr/share/bash-completion/completions/linkmate usr/share/applications/linkmate.desktop
         usr/share/metainfo/org.example.linkmate.metainfo.xml
         usr/share/icons/hicolor/16x16/apps/linkmate.png usr/share/icons/hicolor/256x256/apps/linkmate.png
         usr/share/icons/hicolor/scalable/apps/linkmate.svg)
endif()
foreach(path IN LISTS expected)
    if(NOT EXISTS ${root}/${path})
        message(FATAL_ERROR "the package lacks ${path}")
    endif()
endforeach()
file(GLOB programs ${root}/usr/bin/*)
foreach(program IN LISTS programs)
    execute_process(COMMAND file -b ${program} OUTPUT_VARIABLE kind)
    if(kind MATCHES "not stripped|with debug_info")
        message(FATAL_ERROR "${program} is not stripped: ${kind}")
    endif()
endforeach()
execute_process(COMMAND ${root}/usr/bin/linkmate-cli --version OUTPUT_VARIABLE version RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR NOT version MATCHES "linkmate-cli 2.0.0.1")
    message(FATAL_ERROR "the unpacked linkmate-cli --version said '${version}' (${rc})")
endif()
message(STATUS "unpacked ${deb}: ${version}")
file(REMOVE_RECURSE ${root})
