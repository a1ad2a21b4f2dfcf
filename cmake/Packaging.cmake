# The Debian packages, made by `cpack -G DEB` in a release build (scripts/package):
#   zephyra-sound-utility                 both programs, desktop entry, MIME type,
#                                         icons, AppStream data, manual pages
#   zephyra-sound-utility-designer-plugin the Qt Designer plugin of the controls
# Runtime dependencies come from the binaries (dpkg-shlibdeps), never by hand.
include(GNUInstallDirs)

set(ZS_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc)
# Debian wants each package's copyright and (compressed) changelog in its own
# doc folder.
function(zs_package_docs component package)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright
          DESTINATION ${ZS_DOC_DIR}/${package} COMPONENT ${component})
  install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.gz
          DESTINATION ${ZS_DOC_DIR}/${package} COMPONENT ${component})
endfunction()

find_program(GZIP_PROGRAM gzip REQUIRED)
configure_file(${CMAKE_SOURCE_DIR}/packaging/changelog ${CMAKE_BINARY_DIR}/packaging/changelog
               @ONLY)
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/packaging/changelog.gz
  COMMAND ${GZIP_PROGRAM} -9nc ${CMAKE_BINARY_DIR}/packaging/changelog
          > ${CMAKE_BINARY_DIR}/packaging/changelog.gz
  DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog
  VERBATIM)
add_custom_target(zs_package_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog.gz)

set(ZS_PACKAGE zephyra-sound-utility)
zs_package_docs(program ${ZS_PACKAGE})
if(ZS_DESIGNER_PLUGIN)
  zs_package_docs(designer ${ZS_PACKAGE}-designer-plugin)
endif()

set(CPACK_PACKAGE_NAME ${ZS_PACKAGE})
set(CPACK_PACKAGE_VENDOR "Brellin Software")
set(CPACK_PACKAGE_CONTACT "Brellin Software <zephyra-sound-utility@brellin.example.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://brellin.example.org/zephyra-sound-utility")
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL program)
if(ZS_DESIGNER_PLUGIN)
  list(APPEND CPACK_COMPONENTS_ALL designer)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)

set(CPACK_DEBIAN_PROGRAM_PACKAGE_NAME ${ZS_PACKAGE})
# Each description's first line is the package's synopsis.
string(CONCAT CPACK_DEBIAN_PROGRAM_DESCRIPTION
       "inspect, convert and preview the Zephyrion game's sound files\n"
       "The game's .SND and .WSD files keep raw PCM samples behind a 28-byte header.\n"
       "This package shows a file's header, converts between the game's formats and\n"
       "canonical PCM .WAV files with the header values you choose (the samples are\n"
       "copied unchanged), converts whole folders, previews a sound with its\n"
       "waveform, a mouse selection and playback, and imports any audio file into\n"
       "the game's formats. The command zsnd does the same from a terminal.")
set(CPACK_DEBIAN_PROGRAM_PACKAGE_RECOMMENDS "pulseaudio | pipewire-pulse")

set(CPACK_DEBIAN_DESIGNER_PACKAGE_NAME ${ZS_PACKAGE}-designer-plugin)
set(CPACK_DEBIAN_DESIGNER_PACKAGE_SECTION devel)
set(CPACK_COMPONENT_DESIGNER_DEPENDS program)
string(CONCAT CPACK_DEBIAN_DESIGNER_DESCRIPTION
       "Qt Designer plugin of the Zephyra Sound Utility's controls\n"
       "Makes the gradient command button and the masked edit field of the\n"
       "Zephyra Sound Utility available in Qt Designer's widget box, with the\n"
       "masked field's settings page.")
set(CPACK_DEBIAN_DESIGNER_PACKAGE_ENHANCES qt6-designer)

include(CPack)
