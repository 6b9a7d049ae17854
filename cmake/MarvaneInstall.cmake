# Where the program and its files go: installed under the prefix, laid out the same way in the build folder, and
# packaged as a Debian package by CPack.
#
# The program finds its shipped resources (help page, bundled Faces) in ../share/marvane beside its bin/ folder,
# and its codec module in ../lib/marvane (built there in the build folder too).
# The build folder has the same shape: the program is built as bin/marvane, and share/marvane holds links to the
# source tree's resources, so a program started from the build folder finds them by the same rule.
# The knob pictures are compiled into the program (src/appearance/appearance.qrc) and need no file.

set_target_properties(marvane PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/share/marvane)
foreach(item mvnhelp.html Faces)
  file(CREATE_LINK ${CMAKE_SOURCE_DIR}/resources/${item} ${CMAKE_BINARY_DIR}/share/marvane/${item} SYMBOLIC)
endforeach()

# The metainfo file carries the version of this build.
set(MARVANE_METAINFO ${CMAKE_BINARY_DIR}/share/metainfo/${MARVANE_APP_ID}.metainfo.xml)
configure_file(${CMAKE_SOURCE_DIR}/resources/desktop/${MARVANE_APP_ID}.metainfo.xml.in ${MARVANE_METAINFO} @ONLY)
set(MARVANE_DESKTOP_FILE ${CMAKE_SOURCE_DIR}/resources/desktop/${MARVANE_APP_ID}.desktop)

# The file-system layout of a Debian system: the program in bin/, its read-only data in share/marvane/, the
# launcher, icon and software-centre entry where the desktop looks for them.
install(TARGETS marvane RUNTIME DESTINATION bin)
install(TARGETS marvane-codecs LIBRARY DESTINATION lib/marvane)
install(FILES resources/mvnhelp.html DESTINATION share/marvane)
install(DIRECTORY resources/Faces DESTINATION share/marvane PATTERN "makefaces.py" EXCLUDE)
install(FILES ${MARVANE_DESKTOP_FILE} DESTINATION share/applications)
install(FILES ${MARVANE_METAINFO} DESTINATION share/metainfo)
install(FILES resources/icons/marvane.svg DESTINATION share/icons/hicolor/scalable/apps RENAME ${MARVANE_APP_ID}.svg)
# The sizes scripts/make-icons.sh draws from the SVG.
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES resources/icons/${size}x${size}/marvane.png DESTINATION share/icons/hicolor/${size}x${size}/apps
          RENAME ${MARVANE_APP_ID}.png)
endforeach()
install(FILES COPYING DESTINATION share/doc/marvane RENAME copyright)

# The Debian package (scripts/package.sh). The shared libraries' packages are computed by dpkg-shlibdeps from
# the program as built; the packages it needs at run time without linking them are named here.
set(MARVANE_PACKAGE_MAINTAINER "Marvane maintainers <maintainers@marvane.invalid>"
    CACHE STRING "Maintainer field of the Debian package")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME marvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${MARVANE_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "DJ mixing console with an unattended playlist line")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "DJ mixing console with an unattended playlist line
 Marvane is a DJ mixing console for one person at a computer with a sound card.
 Seven playback lines share one small window: the AutoPilot line plays a
 playlist unattended, overlapping the end of one song with the start of the
 next (in list order or SmartRandom order); six manual lines each hold one
 sound file (wave, MPEG audio, RealAudio, MIDI). Every line has volume, pan,
 mute, loop and a crossfader assignment; the crossfader fades by hand or by
 itself. A Playlist Editor, a song log and skins (Faces) come with it.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# A General MIDI SoundFont for MIDI files; the ALSA plugins that reach PulseAudio and PipeWire; a font for the
# windows; xdg-open, which opens the help page in the desktop's browser.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "timgm6mb-soundfont | sf2-soundfont-gm, libasound2-plugins, fonts-dejavu-core | fonts-liberation2, xdg-utils")
# Native Wayland windows (without it Qt uses XWayland).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
include(CPack)
