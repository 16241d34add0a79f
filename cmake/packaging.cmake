# Release packages: MOJIFIX-<version>-win64.zip / -win32.zip / -win9x.zip with the executable and
# a Japanese readme that Notepad on Japanese Windows opens as it is (Shift-JIS, CR LF), and
# SHA256SUMS beside them. The same commit gives the same bytes wherever it is built
# (cmake/reproducible_zip.cmake).

include(${CMAKE_CURRENT_LIST_DIR}/version.cmake)

# The readme names the version; it takes it from the one version source.
set(readme_utf8 ${CMAKE_BINARY_DIR}/packaging/readme-ja.txt)
set(readme ${CMAKE_BINARY_DIR}/packaging/readme.txt)
configure_file(${PROJECT_SOURCE_DIR}/packaging/readme-ja.txt ${readme_utf8} @ONLY)
add_custom_command(
  OUTPUT ${readme}
  COMMAND sh -c "sed 's/$/\\r/' \"$0\" | iconv -f UTF-8 -t CP932 > \"$1\"" ${readme_utf8} ${readme}
  DEPENDS ${readme_utf8}
  COMMENT "Converting the readme to Shift-JIS with CR LF"
  VERBATIM)
add_custom_target(mojifix_readme ALL DEPENDS ${readme})

install(TARGETS MOJIFIX RUNTIME DESTINATION .)
install(FILES ${readme} DESTINATION .)

if(MOJIFIX_WIN9X)
  set(CPACK_SYSTEM_NAME win9x)
elseif(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(CPACK_SYSTEM_NAME win64)
else()
  set(CPACK_SYSTEM_NAME win32)
endif()
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME MOJIFIX)
set(CPACK_PACKAGE_VERSION ${MOJIFIX_VERSION_TEXT})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
# The release link strips already; strip again here would stamp the executable with today's date.
set(CPACK_STRIP_FILES OFF)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/reproducible_zip.cmake)
# For that script, which CPack runs without the project's variables.
set(CPACK_MOJIFIX_SOURCE_DIR ${PROJECT_SOURCE_DIR})
include(CPack)
