# What an installation holds beside the programs (whose rules are in src/cli
# and src/workbench), and the Debian package made of it:
#
#   share/man/man1/         matcalc.1.gz, matcalc-cli.1.gz (from docs/man/*.scd, with scdoc)
#   share/bash-completion/  the completion of matcalc-cli
#   share/metainfo/         the AppStream data
#   share/doc/matcalc/      copyright (machine-readable) and changelog.gz (from CHANGELOG.md)
#
#   cpack -G DEB --config build/<preset>/CPackConfig.cmake
#     -> build/package/matcalc_VERSION_ARCH.deb
include(GNUInstallDirs)

set(matcalc_doc_dir ${CMAKE_INSTALL_DATADIR}/doc/matcalc)
set(matcalc_generated ${PROJECT_BINARY_DIR}/packaging)

# The release's date, from CHANGELOG.md's section of this version.
file(STRINGS ${PROJECT_SOURCE_DIR}/CHANGELOG.md matcalc_release_line
     REGEX "^## \\[${PROJECT_VERSION}\\] - [0-9]+-[0-9]+-[0-9]+")
if(matcalc_release_line MATCHES " - ([0-9]+-[0-9]+-[0-9]+)")
  set(MATCALC_RELEASE_DATE ${CMAKE_MATCH_1})
else()
  message(WARNING "CHANGELOG.md has no section \"## [${PROJECT_VERSION}] - DATE\"")
  string(TIMESTAMP MATCALC_RELEASE_DATE "%Y-%m-%d" UTC)
endif()
include(DateEpoch)
matcalc_date_epoch(${MATCALC_RELEASE_DATE} matcalc_release_epoch)

# Man pages: the version is written into the scdoc source, which scdoc turns
# into troff; Debian keeps them compressed.
find_program(MATCALC_SCDOC scdoc)
find_program(MATCALC_GZIP gzip)
if(MATCALC_SCDOC AND MATCALC_GZIP)
  set(matcalc_man_pages "")
  set(pages matcalc-cli.1)
  if(MATCALC_GUI)
    list(APPEND pages matcalc.1)
  endif()
  foreach(page IN LISTS pages)
    configure_file(${PROJECT_SOURCE_DIR}/docs/man/${page}.scd ${matcalc_generated}/${page}.scd
                   @ONLY)
    add_custom_command(
      OUTPUT ${matcalc_generated}/${page}.gz
      # Dated by the release, not by the build.
      COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${matcalc_release_epoch}
              sh -c "${MATCALC_SCDOC} < ${page}.scd > ${page}"
      COMMAND ${MATCALC_GZIP} -9nf ${page}
      DEPENDS ${matcalc_generated}/${page}.scd
      WORKING_DIRECTORY ${matcalc_generated}
      COMMENT "Man page ${page}"
      VERBATIM)
    list(APPEND matcalc_man_pages ${matcalc_generated}/${page}.gz)
  endforeach()
  add_custom_target(matcalc_man_pages ALL DEPENDS ${matcalc_man_pages})
  install(FILES ${matcalc_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  message(STATUS "scdoc or gzip not found: the man pages are not built")
endif()

# The Debian changelog, from CHANGELOG.md.
add_custom_command(
  OUTPUT ${matcalc_generated}/changelog.gz
  COMMAND ${CMAKE_COMMAND} -DIN=${PROJECT_SOURCE_DIR}/CHANGELOG.md
          -DOUT=${matcalc_generated}/changelog -DPACKAGE=matcalc
          -DMAINTAINER=${MATCALC_MAINTAINER} -P ${PROJECT_SOURCE_DIR}/cmake/DebianChangelog.cmake
  COMMAND ${MATCALC_GZIP} -9nf changelog
  DEPENDS ${PROJECT_SOURCE_DIR}/CHANGELOG.md ${PROJECT_SOURCE_DIR}/cmake/DebianChangelog.cmake
          ${PROJECT_SOURCE_DIR}/cmake/DateEpoch.cmake
  WORKING_DIRECTORY ${matcalc_generated}
  COMMENT "Debian changelog"
  VERBATIM)
add_custom_target(matcalc_changelog ALL DEPENDS ${matcalc_generated}/changelog.gz)

configure_file(${PROJECT_SOURCE_DIR}/packaging/copyright.in ${matcalc_generated}/copyright @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/resources/matcalc.metainfo.xml.in
               ${matcalc_generated}/${MATCALC_APP_ID}.metainfo.xml @ONLY)

install(FILES ${PROJECT_SOURCE_DIR}/resources/completion/matcalc-cli
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
install(FILES ${matcalc_generated}/copyright ${matcalc_generated}/changelog.gz
        DESTINATION ${matcalc_doc_dir})
if(MATCALC_GUI)
  install(FILES ${matcalc_generated}/${MATCALC_APP_ID}.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

# The programs resolve every symbol at start, so their relocations can be
# read-only from then on (as Debian's packages are linked).
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  foreach(program matcalc matcalc-cli)
    if(TARGET ${program})
      target_link_options(${program} PRIVATE "LINKER:-z,relro,-z,now")
    endif()
  endforeach()
endif()

# The Debian package. Its dependencies are what dpkg-shlibdeps finds the
# programs linked against, plus what the window reads at run time: Qt's
# Chinese translations (the standard buttons), a General MIDI soundfont (the
# credits' music) and a CJK font (printing).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME matcalc)
set(CPACK_PACKAGE_VENDOR "The MatCalc developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${MATCALC_MAINTAINER})
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_SOURCE_DIR}/build/package)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "matrix calculator that writes every step of its work")
# The long description, below the summary (CPack indents it as Debian wants).
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "MatCalc (in Chinese 矩阵计算器) is a calculator for numerical linear algebra
that shows its work. Type a square matrix or a vector as plain text, pick a
method, answer a few prompts, and it writes a complete step-by-step trace in
Chinese that can be compared line by line with a computation by hand.

Methods: the power, origin-shift and inverse power methods, the Jacobi
methods, inverse and determinant by column pivoting, the triangular
decomposition, positive-definiteness and diagonal dominance tests, norms, and
solvers of linear systems. The window draws convergence charts and prints;
matcalc-cli runs every method from scripts.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${PROJECT_HOMEPAGE_URL})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-translations-l10n, timgm6mb-soundfont | sf2-soundfont-gm, fonts-wqy-zenhei | fonts-noto-cjk")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
