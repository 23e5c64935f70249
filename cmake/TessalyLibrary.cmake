# tessaly_library(NAME DIRS dir... LIBS lib... INCLUDES dir...)
# A static library of every source below the given folders (relative to the
# calling CMakeLists), so adding a file needs no edit here. A folder without
# sources yet gives an interface library.
function(tessaly_library name)
  cmake_parse_arguments(ARG "" "" "DIRS;LIBS;INCLUDES" ${ARGN})
  set(sources)
  set(has_cpp FALSE)
  foreach(dir ${ARG_DIRS})
    file(GLOB_RECURSE found CONFIGURE_DEPENDS
      ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp
      ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.h
      ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.ui
      ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.qrc)
    list(APPEND sources ${found})
  endforeach()
  foreach(source ${sources})
    if(source MATCHES "\\.cpp$")
      set(has_cpp TRUE)
    endif()
  endforeach()
  if(has_cpp)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${ARG_INCLUDES})
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${ARG_INCLUDES})
    target_link_libraries(${name} INTERFACE ${ARG_LIBS})
  endif()
endfunction()

# tessaly_test(NAME DIR dir LIBS lib... [DESKTOP [LABEL label]])
# One test program per folder of tests/, each test case run as its own process.
# DESKTOP: the program runs on a private X desktop, labelled "desktop"; a test
# skipped for want of one shows as skipped. LABEL: the label becomes
# "desktop-<label>", so that ctest -L <label> runs the program alone and
# ctest -L desktop still runs it with the others.
# Every file in the folder's programs/ sub-folder is instead a small helper
# program of its own (named after the file) that the tests start as a process.
function(tessaly_test name)
  cmake_parse_arguments(ARG "DESKTOP" "DIR;LABEL" "LIBS" ${ARGN})
  set(programs_dir ${CMAKE_CURRENT_SOURCE_DIR}/${ARG_DIR}/programs)
  file(GLOB_RECURSE found CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_SOURCE_DIR}/${ARG_DIR}/*.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/${ARG_DIR}/*.h)
  list(FILTER found EXCLUDE REGEX "^${programs_dir}/")
  if(NOT found)
    return()
  endif()
  if(ARG_DESKTOP)
    set(runner runner_desktop)
    set(label desktop)
    if(ARG_LABEL)
      set(label desktop-${ARG_LABEL})
    endif()
    set(test_properties LABELS ${label} SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")
  else()
    set(runner runner_offscreen)
    set(test_properties ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  endif()
  add_executable(${name} ${found} $<TARGET_OBJECTS:${runner}>)
  target_link_libraries(${name} PRIVATE test_support ${ARG_LIBS})
  file(GLOB programs CONFIGURE_DEPENDS ${programs_dir}/*.cpp)
  foreach(program ${programs})
    get_filename_component(program_name ${program} NAME_WE)
    add_executable(${program_name} ${program})
    target_link_libraries(${program_name} PRIVATE ${ARG_LIBS})
    add_dependencies(${name} ${program_name})
  endforeach()
  # A test that hangs (a blocking read, a lost wake-up) fails after as long as CI allows, also under plain ctest.
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${TESSALY_BIN_DIR}
    PROPERTIES ${test_properties} TIMEOUT 300
    DISCOVERY_TIMEOUT 60)
endfunction()
