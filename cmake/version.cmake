# Reads the program's version from src/version.h, its one source, for the build files that need it
# (the manifest and the package names).
file(STRINGS ${PROJECT_SOURCE_DIR}/src/version.h version_lines REGEX "#define MOJIFIX_VERSION_")
foreach(line IN LISTS version_lines)
  if(line MATCHES "#define (MOJIFIX_VERSION_[A-Z]+) \"?([^\"]*)\"?")
    set(${CMAKE_MATCH_1} "${CMAKE_MATCH_2}")
  endif()
endforeach()
# Whatever is made from it is made again when it changes.
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${PROJECT_SOURCE_DIR}/src/version.h)
