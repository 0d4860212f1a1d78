# The Windows resources of a program: the radio icon and its version information from
# project()'s version, with a description Explorer shows. The icon, packaging/windows/rcp520.ico,
# is kept in the repository: tools/icons.cpp draws it (the Linux build's rcp520-icons), and
#   rcp520-icons DIR rcp520 && convert DIR/hicolor/{16,24,32,48,64,256}x*/apps/rcp520.png rcp520.ico
# (ImageMagick) made it; do that again when the radio picture changes.
#   rcp520_windows_resources(TARGET DESCRIPTION)
function(rcp520_windows_resources target description)
  set(RCP520_RC_NAME ${target})
  set(RCP520_RC_DESCRIPTION "${description}")
  set(RCP520_RC_ICON "${PROJECT_SOURCE_DIR}/packaging/windows/rcp520.ico")
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/generated/${target}.rc)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
  set_property(SOURCE ${rc} APPEND PROPERTY OBJECT_DEPENDS ${RCP520_RC_ICON})
endfunction()
