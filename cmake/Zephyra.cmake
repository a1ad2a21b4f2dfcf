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
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_compile_options(${target} PRIVATE ${ZS_WARNINGS})
  foreach(component IN LISTS ARG_QT)
    target_link_libraries(${target} PUBLIC Qt6::${component})
  endforeach()
  target_link_libraries(${target} PUBLIC ${ARG_DEPS})
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
