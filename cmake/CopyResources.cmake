# Lays the default program folder beside the binary. Program files (language, help) are
# refreshed on every build; the data folder is seeded once, so options and cover formats
# that the user changed in the build tree survive a rebuild.
file(COPY ${SRC}/language ${SRC}/help DESTINATION ${DST})
file(GLOB_RECURSE data_files RELATIVE ${SRC}/data ${SRC}/data/*)
foreach(f IN LISTS data_files)
  if(NOT EXISTS ${DST}/data/${f})
    file(COPY ${SRC}/data/${f} DESTINATION ${DST}/data)
  endif()
endforeach()
file(MAKE_DIRECTORY ${DST}/data)
