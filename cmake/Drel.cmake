# The subfolders below the current one that have a CMakeLists.txt of their own.
function(drel_own_subfolders out)
  file(GLOB_RECURSE lists CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*/CMakeLists.txt)
  set(folders)
  foreach(list IN LISTS lists)
    get_filename_component(folder ${list} DIRECTORY)
    list(APPEND folders ${folder})
  endforeach()
  set(${out} ${folders} PARENT_SCOPE)
endfunction()

# Drops from the list the files inside the given folders.
function(drel_drop_files_in listvar)
  set(kept)
  foreach(file IN LISTS ${listvar})
    set(inside FALSE)
    foreach(folder IN LISTS ARGN)
      string(FIND ${file} "${folder}/" at)
      if(at EQUAL 0)
        set(inside TRUE)
      endif()
    endforeach()
    if(NOT inside)
      list(APPEND kept ${file})
    endif()
  endforeach()
  set(${listvar} ${kept} PARENT_SCOPE)
endfunction()

# Adds the direct subfolders that have their own CMakeLists.txt (deeper
# ones are theirs to add).
function(drel_add_own_subfolders)
  drel_own_subfolders(folders)
  foreach(folder IN LISTS folders)
    get_filename_component(parent ${folder} DIRECTORY)
    if(parent STREQUAL CMAKE_CURRENT_SOURCE_DIR)
      add_subdirectory(${folder})
    endif()
  endforeach()
endfunction()

# drel_library(<name> [DEPS <targets>...])
# One static library per folder; sources are every .cpp/.h in the folder
# and its subfolders, except subfolders with a CMakeLists.txt of their own,
# which are libraries of their own and added here.
function(drel_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  drel_own_subfolders(own)
  drel_drop_files_in(sources ${own})
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE -Wall -Wextra -Wno-unused-parameter)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  drel_add_own_subfolders()
endfunction()

# drel_test(<folder> DEPS <targets>...)
# One GoogleTest program per folder of tests/, each test registered with
# ctest. Subfolders with their own CMakeLists.txt are programs of their own
# (drel_test(<folder>_<subfolder> ...)) and added here.
function(drel_test folder)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  drel_add_own_subfolders()
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  set(name test_${folder})
  add_executable(${name} ${sources})
  target_compile_options(${name} PRIVATE -Wall -Wextra -Wno-unused-parameter)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} drel_testsupport GTest::gtest GTest::gmock)
  include(GoogleTest)
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}
    # One variable only: the discovery splits property values at semicolons.
    # The tests find tests/data through drel_testsupport.
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
    # Suites named *ChildProcess run only inside a process a test starts.
    TEST_FILTER "-*ChildProcess.*"
    DISCOVERY_TIMEOUT 60)
endfunction()

# drel_bench(<name> <source> DEPS <targets>...)
function(drel_bench name source)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  add_executable(${name} ${source})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} benchmark::benchmark)
endfunction()

# drel_program_files(<target>)
# What the program reads from its own folder goes beside the target's
# executable after each build: the icons of the symbol library ("Vexil").
function(drel_program_files target)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/res/Vexil $<TARGET_FILE_DIR:${target}>/Vexil
    VERBATIM)
endfunction()
