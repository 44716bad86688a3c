# Shared helpers for the subsystem libraries.

# One precompiled header for Qt, reused by every target.
set(PELMORA_PCH_HEADERS <QtCore/QString> <QtCore/QStringList> <QtCore/QHash> <QtCore/QList>
    <QtCore/QFile> <QtCore/QDir> <QtCore/QFileInfo> <QtCore/QByteArray> <memory> <vector>
    <string> <optional> <functional>)

# A subsystem library of every source below its folder.
function(pelmora_library name)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h ${CMAKE_CURRENT_SOURCE_DIR}/*.ui
    ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  target_precompile_headers(${name} PRIVATE ${PELMORA_PCH_HEADERS})
endfunction()

# Copies the default program folder (data, language, help) beside the binaries.
function(pelmora_copy_resources target)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -DSRC=${PROJECT_SOURCE_DIR}/resources -DDST=${PELMORA_BIN_DIR}
            -P ${PROJECT_SOURCE_DIR}/cmake/CopyResources.cmake
    COMMENT "Copying the default program folder")
endfunction()
