# GoogleTest built from Debian's sources with the cross compiler, and the
# helper that turns one folder of tests into one test executable.
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
# googletest's own sources do not build cleanly with our warning set.
foreach(target gtest gtest_main)
  target_compile_options(${target} PRIVATE -Wno-error)
endforeach()

# brumix_test(NAME <name> SOURCES ... LIBS ...): one executable, one CTest entry
# (each entry is one Wine process start, so cases are never split out).
function(brumix_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} gtest_main gtest)
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT 600)
endfunction()

# brumix_western_test(<test executable> [gtest filter]): the same executable
# once more as its own entry under a Western code page (1252), where only
# UTF-16 at every call keeps Russian texts whole; C.UTF-8 also lets Wine name
# files of any script on the Linux side, which the Russian run cannot.
function(brumix_western_test target)
  set(arguments)
  if(ARGC GREATER 1)
    set(arguments --gtest_filter=${ARGV1})
  endif()
  add_test(NAME ${target}_western COMMAND ${target} ${arguments})
  set_tests_properties(${target}_western PROPERTIES TIMEOUT 600 ENVIRONMENT LC_ALL=C.UTF-8)
endfunction()
