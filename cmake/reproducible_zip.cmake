# CPack post-build script: makes each ZIP again so that one commit always gives the same bytes,
# then records its SHA-256 in SHA256SUMS in the package directory. CPack's own ZIP takes the
# entries' times from the clock unless SOURCE_DATE_EPOCH is set, their DOS times from the local
# time zone, and their order from the directory.
#
# Every entry is dated from SOURCE_DATE_EPOCH when it is set, otherwise from the last commit, or
# from a fixed date outside git; in UTC; in name order. The entries' modes come from the install
# rules, not from the umask. Info-ZIP's zip writes no extra fields (-X), so neither the builder's
# user and group ids nor further time stamps are recorded, and anyone's rebuild is byte-equal.

if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(epoch $ENV{SOURCE_DATE_EPOCH})
else()
  execute_process(
    COMMAND git -C ${CPACK_MOJIFIX_SOURCE_DIR} log -1 --format=%ct
    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE failed)
  if(failed OR NOT epoch MATCHES "^[0-9]+$")
    set(epoch 946684800)  # 2000-01-01 00:00:00 UTC
  endif()
endif()

set(staging ${CPACK_TEMPORARY_DIRECTORY})
file(GLOB_RECURSE entries LIST_DIRECTORIES false RELATIVE ${staging} ${staging}/*)
list(SORT entries)

set(sums_file ${CPACK_PACKAGE_DIRECTORY}/SHA256SUMS)
set(sums "")
if(EXISTS ${sums_file})
  file(STRINGS ${sums_file} sums)
endif()

foreach(zip IN LISTS CPACK_PACKAGE_FILES)
  file(REMOVE ${zip})
  execute_process(COMMAND touch -d @${epoch} -- ${entries}
    WORKING_DIRECTORY ${staging} COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC zip -X -D -q ${zip} -- ${entries}
    WORKING_DIRECTORY ${staging} COMMAND_ERROR_IS_FATAL ANY)

  # Replace this package's line; keep those of packages still beside it (the other build's).
  get_filename_component(name ${zip} NAME)
  file(SHA256 ${zip} hash)
  set(kept "")
  foreach(line IN LISTS sums)
    if(line MATCHES "^[0-9a-f]+  (.+)$" AND NOT CMAKE_MATCH_1 STREQUAL name
       AND EXISTS ${CPACK_PACKAGE_DIRECTORY}/${CMAKE_MATCH_1})
      list(APPEND kept "${line}")
    endif()
  endforeach()
  set(sums ${kept} "${hash}  ${name}")
endforeach()

list(SORT sums)
list(JOIN sums "\n" text)
file(WRITE ${sums_file} "${text}\n")
