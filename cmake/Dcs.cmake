# One library per folder: every .cpp directly in the folder is a source. A folder with
# no sources yet is an interface library, so dependents can already name it.
#
#   dcs_library(<target> [DEPS <targets...>] [PUBLIC_LIBS <libs...>])
#   dcs_tests(<target> LABEL <label> [DEPS <targets...>])
#
# One CTest label per test executable (the subsystem). A test that cannot run under a
# sanitizer skips itself (GTEST_SKIP under __SANITIZE_THREAD__ / __SANITIZE_ADDRESS__).
#
# Headers are included from the project root: #include "platform/base/SysUtils.h".
function(dcs_library target)
  cmake_parse_arguments(A "" "" "DEPS;PUBLIC_LIBS" ${ARGN})
  set_property(GLOBAL APPEND PROPERTY DCS_LIBRARIES ${target})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.c)
  if(srcs)
    add_library(${target} STATIC ${srcs})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} PUBLIC ${A_DEPS} ${A_PUBLIC_LIBS} Threads::Threads)
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} INTERFACE ${A_DEPS} ${A_PUBLIC_LIBS} Threads::Threads)
  endif()
endfunction()

# Every tests/*.cpp of the folder goes into one GoogleTest executable <target>_tests.
function(dcs_tests target)
  cmake_parse_arguments(A "" "LABEL" "DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/*.cpp)
  if(NOT srcs)
    return()
  endif()
  add_executable(${target}_tests ${srcs})
  target_link_libraries(${target}_tests PRIVATE ${target} ${A_DEPS} GTest::gtest GTest::gtest_main GTest::gmock)
  gtest_discover_tests(${target}_tests
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES LABELS ${A_LABEL})
endfunction()

# Adds every sub-folder that has a CMakeLists.txt, so a new facility or component family
# needs no edit of its parent.
function(dcs_add_subfolders)
  file(GLOB children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  foreach(child IN LISTS children)
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()

# Embeds text form files as resources of <target>: each <Class>.form is converted at
# build time into the binary component stream and registered under <Class>. A form's
# source calls dcs::forms::Link_<Class>() so that a static library keeps the resource.
#
#   dcs_form_resources(<target> <files...>)
function(dcs_form_resources target)
  foreach(form IN LISTS ARGN)
    get_filename_component(abs ${form} ABSOLUTE)
    get_filename_component(cls ${form} NAME_WE)
    set(out ${CMAKE_CURRENT_BINARY_DIR}/forms/${cls}_form.cpp)
    add_custom_command(OUTPUT ${out}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/forms
      COMMAND dcsform embed ${cls} ${abs} ${out}
      DEPENDS dcsform ${abs}
      COMMENT "Embedding form ${cls}")
    target_sources(${target} PRIVATE ${out})
  endforeach()
endfunction()
