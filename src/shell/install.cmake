# Desktop integration: the application's menu entry, its icon and the ".cht" document type, so
# that file managers open charts with Kintra.
set(KINTRA_APP_DIR ${CMAKE_SOURCE_DIR}/resources/app)
install(FILES ${KINTRA_APP_DIR}/kintra.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${KINTRA_APP_DIR}/kintra.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${KINTRA_APP_DIR}/kintra.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/mimetypes
        RENAME application-x-kintra-chart.svg)
install(FILES ${KINTRA_APP_DIR}/kintra-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME kintra.xml)
# The example charts, which Help > Examples lists.
file(GLOB KINTRA_EXAMPLE_CHARTS ${CMAKE_SOURCE_DIR}/examples/*.cht)
install(FILES ${KINTRA_EXAMPLE_CHARTS} ${CMAKE_SOURCE_DIR}/examples/README.md
        DESTINATION ${CMAKE_INSTALL_DATADIR}/kintra/examples)
# Refresh the shared databases when installing into the live system (not into a staging DESTDIR).
install(CODE "
  if(\"\$ENV{DESTDIR}\" STREQUAL \"\")
    find_program(KINTRA_UPDATE_MIME update-mime-database)
    if(KINTRA_UPDATE_MIME)
      execute_process(COMMAND \${KINTRA_UPDATE_MIME} \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/mime\")
    endif()
    find_program(KINTRA_UPDATE_DESKTOP update-desktop-database)
    if(KINTRA_UPDATE_DESKTOP)
      execute_process(COMMAND \${KINTRA_UPDATE_DESKTOP} \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications\")
    endif()
  endif()
")
