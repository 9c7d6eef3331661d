# Installation of the program and its manual page, the Debian package that
# CPack builds from it, and the tests that check the page and the package.

include(GNUInstallDirs)

install(TARGETS kelvaro RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
        COMPONENT programme)

# `cmake --install` copies the page as written. The Debian package holds it
# compressed with gzip -9n instead, as Debian does for every manual page and
# changelog: -n leaves the name and the time out of the header, so the same
# text always gives the same bytes.
install(FILES docs/kelvaro.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
        COMPONENT manuel)
set(kelvaro_page_gz ${CMAKE_CURRENT_BINARY_DIR}/man/kelvaro.1.gz)
set(kelvaro_changelog_gz ${CMAKE_CURRENT_BINARY_DIR}/doc/changelog.gz)
foreach(source_et_copie IN ITEMS docs/kelvaro.1:man/kelvaro.1
                                 cmake/changelog:doc/changelog)
  string(REPLACE ":" ";" source_et_copie ${source_et_copie})
  list(GET source_et_copie 0 source)
  list(GET source_et_copie 1 copie)
  add_custom_command(
    OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/${copie}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_SOURCE_DIR}/${source}
            ${CMAKE_CURRENT_BINARY_DIR}/${copie}
    COMMAND gzip -9nf ${CMAKE_CURRENT_BINARY_DIR}/${copie}
    DEPENDS ${source}
    VERBATIM)
endforeach()
add_custom_target(kelvaro_fichiers_gz ALL
                  DEPENDS ${kelvaro_page_gz} ${kelvaro_changelog_gz})
install(FILES ${kelvaro_page_gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
        COMPONENT paquet EXCLUDE_FROM_ALL)

# The licence, in Debian's machine-readable copyright format, and the
# changelog, in Debian's changelog format, in the package.
install(FILES cmake/copyright ${kelvaro_changelog_gz}
        DESTINATION ${CMAKE_INSTALL_DOCDIR}
        COMPONENT paquet EXCLUDE_FROM_ALL)

# One package, kelvaro_<version>_<arch>.deb, holding the program, the
# compressed page, the copyright file and the changelog; its dependencies
# come from dpkg-shlibdeps. cmake/avant_paquet.cmake runs first, at cpack
# time: it refuses to go on without dpkg-shlibdeps and sets the time stamp.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kelvaro)
set(CPACK_PACKAGE_CONTACT
    "The kelvaro developers <kelvaro@users.noreply.invalid>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "liste les entiers N selon la parite de la somme de leurs diviseurs")
set(CPACK_PACKAGE_DESCRIPTION
    "Programme interactif en mode texte, en francais. Pour chaque entier N\n\
d'un intervalle choisi, kelvaro decompose N en facteurs premiers, enumere\n\
ses diviseurs et les additionne, puis affiche les N dont la somme des\n\
diviseurs a la parite choisie (paire, impaire ou quelconque), avec le\n\
nombre de leurs diviseurs et leur somme, exacte pour N jusqu'a 2^63 - 1.")
# The target's architecture in dpkg's name (arm64 for aarch64-linux-gnu),
# not the build machine's, which CPack would take: a cross build's package
# holds the target's program.
execute_process(
  COMMAND dpkg-architecture -t ${CMAKE_CXX_LIBRARY_ARCHITECTURE} -qDEB_HOST_ARCH
  OUTPUT_VARIABLE CPACK_DEBIAN_PACKAGE_ARCHITECTURE
  OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_COMPONENTS_ALL programme paquet)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_SOURCE_DIR}/cmake/avant_paquet.cmake)
set(CPACK_KELVARO_SOURCES ${CMAKE_CURRENT_SOURCE_DIR})
include(CPack)

if(KELVARO_TESTS)
  # groff reports every construct a man reader could render badly.
  add_test(NAME manuel.SansAvertissement
           COMMAND sh -c [[
command -v groff >/dev/null || exit 77
avis=$(groff -man -Tutf8 -ww "$1" 2>&1 >/dev/null) || exit 1
[ -z "$avis" ] || { printf '%s\n' "$avis"; exit 1; }
]] sh ${CMAKE_CURRENT_SOURCE_DIR}/docs/kelvaro.1)
  set_tests_properties(manuel.SansAvertissement PROPERTIES SKIP_RETURN_CODE 77)

  # A package of the sanitizer build would depend on the sanitizer runtimes.
  if(NOT KELVARO_SANITIZE)
    add_test(NAME paquet.Contenu
             COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/tools/verifier_paquet
                     ${CMAKE_BINARY_DIR})
    set_tests_properties(paquet.Contenu PROPERTIES SKIP_RETURN_CODE 77)
  endif()
endif()
