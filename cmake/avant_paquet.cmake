# Read by cpack just before it builds the package: refuses to build one
# without its dependencies, and fixes the archive's time stamps so that the
# same commit always gives the same bytes.

# Without dpkg-shlibdeps CPack would still build the package, with no Depends
# at all; without `file` it cannot tell which installed files are programs.
set(kelvaro_outils_absents)
set(kelvaro_paquets_absents)
foreach(outil_et_paquet IN ITEMS dpkg-shlibdeps:dpkg-dev file:file)
  string(REPLACE ":" ";" outil_et_paquet ${outil_et_paquet})
  list(GET outil_et_paquet 0 outil)
  list(GET outil_et_paquet 1 paquet)
  # Searched as CPack searches it, so that both agree on what is there.
  find_program(kelvaro_chemin_${paquet} ${outil})
  if(NOT kelvaro_chemin_${paquet})
    list(APPEND kelvaro_outils_absents "${outil} (package ${paquet})")
    list(APPEND kelvaro_paquets_absents ${paquet})
  endif()
endforeach()
if(kelvaro_paquets_absents)
  list(JOIN kelvaro_outils_absents " and " outils)
  list(JOIN kelvaro_paquets_absents " " paquets)
  message(FATAL_ERROR
    "No package built: ${outils} missing, and without them the package "
    "would lack its dependencies (Depends). Install as root with\n"
    "  apt-get install -y --no-install-recommends ${paquets}\n"
    "or run ./test, which installs them along with what the tests need.")
endif()

# SOURCE_DATE_EPOCH as Debian's reproducible builds define it: kept when the
# caller sets it, else the time of the last commit, else (sources outside
# git) the date of the changelog's latest entry. CPack stamps every member
# and every file of the archive with it.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  set(epoque "")
  execute_process(
    COMMAND git -C "${CPACK_KELVARO_SOURCES}" rev-parse --show-toplevel
    OUTPUT_VARIABLE racine OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET
    RESULT_VARIABLE statut)
  # A tree unpacked inside another project's clone is not that clone's.
  file(REAL_PATH "${CPACK_KELVARO_SOURCES}" sources)
  if(statut EQUAL 0)
    file(REAL_PATH "${racine}" racine)
  endif()
  if(statut EQUAL 0 AND racine STREQUAL sources)
    execute_process(
      COMMAND git -C "${CPACK_KELVARO_SOURCES}" log -1 --format=%ct
      OUTPUT_VARIABLE epoque OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  endif()
  if(NOT epoque MATCHES "^[0-9]+$")
    file(STRINGS "${CPACK_KELVARO_SOURCES}/cmake/changelog" signatures
         REGEX "^ -- .*>  ")
    list(GET signatures 0 signature)
    string(REGEX REPLACE "^ -- .*>  " "" date_entree "${signature}")
    execute_process(COMMAND date -d "${date_entree}" +%s
                    OUTPUT_VARIABLE epoque OUTPUT_STRIP_TRAILING_WHITESPACE)
  endif()
  if(NOT epoque MATCHES "^[0-9]+$")
    message(FATAL_ERROR "no date for the package's files: neither the last "
                        "commit's nor the changelog's ('${date_entree}')")
  endif()
  set(ENV{SOURCE_DATE_EPOCH} ${epoque})
endif()
