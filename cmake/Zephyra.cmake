# Helpers shared by every folder: one library target per source folder, one
# executable per test, our warnings on our own code only.

set(ZS_WARNINGS -Wall -Wextra -Werror)

# zs_library(<target> [QT <Qt components>] [DEPS <targets>])
# Builds every .cpp/.h of the calling folder (not its sub-folders) into one
# static library whose public include path is the folder itself.
function(zs_library target)
  cmake_parse_arguments(ARG "" "" "QT;DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
       ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  list(FILTER sources INCLUDE REGEX "\\.cpp$|\\.qrc$")
  if(sources)
    set(scope PUBLIC)
    file(GLOB all CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp
         ${CMAKE_CURRENT_SOURCE_DIR}/*.h ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
    add_library(${target} STATIC ${all})
    target_compile_options(${target} PRIVATE ${ZS_WARNINGS})
  else()
    # A folder of headers only.
    set(scope INTERFACE)
    add_library(${target} INTERFACE)
  endif()
  target_include_directories(${target} ${scope} ${CMAKE_CURRENT_SOURCE_DIR})
  foreach(component IN LISTS ARG_QT)
    target_link_libraries(${target} ${scope} Qt6::${component})
  endforeach()
  target_link_libraries(${target} ${scope} ${ARG_DEPS})
endfunction()

# zs_add_test(<name> LIBS <targets> [LABELS <labels>] [SOURCES <extra files>])
# <name>.cpp in the calling folder is the test; it runs headless.
function(zs_add_test name)
  cmake_parse_arguments(ARG "" "" "LIBS;LABELS;SOURCES" ${ARGN})
  add_executable(${name} ${name}.cpp ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${ZS_WARNINGS})
  target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBS})
  add_test(NAME ${name} COMMAND ${name})
  if(NOT ARG_LABELS)
    set(ARG_LABELS unit)
  endif()
  set_tests_properties(${name} PROPERTIES
    LABELS "${ARG_LABELS}"
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ZEPHYRA_AUDIO=null;ZSND=$<TARGET_FILE_DIR:${name}>"
    TIMEOUT 300)
endfunction()
