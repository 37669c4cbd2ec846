# Installation: the executable and its data/ folder (help pages, translations) form one
# application folder, because the program finds its data beside the executable. A link in bin/,
# a desktop entry and an icon make it start from a shell and from the desktop. The icon also lies
# in data/ as a picture, for the windows where the desktop's icon theme does not hold it. The
# binary is installed stripped with `cmake --install build --strip`.
include(GNUInstallDirs)

set(QUOBLY_APP_DIR ${CMAKE_INSTALL_LIBDIR}/quobly)

install(TARGETS quobly RUNTIME DESTINATION ${QUOBLY_APP_DIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/ DESTINATION ${QUOBLY_APP_DIR}/data
  PATTERN "quobly.desktop" EXCLUDE
  PATTERN "quobly.svg" EXCLUDE)

# A relative link, so the installed tree can be moved or packaged with DESTDIR.
file(RELATIVE_PATH quobly_link_target
  /${CMAKE_INSTALL_BINDIR} /${QUOBLY_APP_DIR}/quobly)
install(CODE "
  set(bin_dir \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
  file(MAKE_DIRECTORY \"\${bin_dir}\")
  file(REMOVE \"\${bin_dir}/quobly\")
  file(CREATE_LINK \"${quobly_link_target}\" \"\${bin_dir}/quobly\" SYMBOLIC)
  message(STATUS \"Installing: \${bin_dir}/quobly -> ${quobly_link_target}\")
")

install(FILES ${CMAKE_SOURCE_DIR}/data/quobly.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/data/quobly.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_SOURCE_DIR}/data/quobly.png
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)
