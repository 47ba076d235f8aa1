# Shared build settings, applied per target rather than globally.

add_library(lbv_build_options INTERFACE)
target_compile_options(lbv_build_options INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow=local -Wnon-virtual-dtor -Wno-missing-field-initializers)
target_compile_definitions(lbv_build_options INTERFACE
  QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_KEYWORDS QT_USE_QSTRINGBUILDER)

if(LIBRAVON_SANITIZE)
  target_compile_options(lbv_build_options INTERFACE
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(lbv_build_options INTERFACE -fsanitize=address,undefined)
endif()
if(LIBRAVON_TSAN)
  target_compile_options(lbv_build_options INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
  target_link_options(lbv_build_options INTERFACE -fsanitize=thread)
endif()

# Keeps only the dependencies that exist: project libraries ("lbv_*") join the build once their
# folder has sources, so a folder can be built before the folders it will later use.
function(lbv_existing_deps out)
  set(result "")
  foreach(dep IN LISTS ARGN)
    if(NOT dep MATCHES "^lbv_" OR TARGET ${dep})
      list(APPEND result ${dep})
    endif()
  endforeach()
  set(${out} ${result} PARENT_SCOPE)
endfunction()

# lbv_folder_library(NAME DEPS ... [PRIVATE_DEPS ...] [SUBFOLDERS ...])
# One static library per src/ folder, made of every .cpp file in it and in the SUBFOLDERS given;
# headers are included as "folder/header.h" ("folder/sub/header.h"). A folder without sources yet
# defines no library.
function(lbv_folder_library name)
  cmake_parse_arguments(ARG "" "" "DEPS;PRIVATE_DEPS;SUBFOLDERS" ${ARGN})
  set(folders ${CMAKE_CURRENT_SOURCE_DIR})
  foreach(sub IN LISTS ARG_SUBFOLDERS)
    list(APPEND folders ${CMAKE_CURRENT_SOURCE_DIR}/${sub})
  endforeach()
  set(sources "")
  set(resources "")
  foreach(folder IN LISTS folders)
    file(GLOB folder_sources CONFIGURE_DEPENDS ${folder}/*.cpp ${folder}/*.c)
    file(GLOB folder_resources CONFIGURE_DEPENDS ${folder}/*.qrc)
    list(APPEND sources ${folder_sources})
    list(APPEND resources ${folder_resources})
  endforeach()
  if(NOT sources)
    return()
  endif()
  lbv_existing_deps(deps ${ARG_DEPS})
  lbv_existing_deps(private_deps ${ARG_PRIVATE_DEPS})
  add_library(${name} STATIC ${sources} ${resources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${deps} PRIVATE lbv_build_options ${private_deps})
endfunction()

# lbv_folder_test(NAME LIBS ...)
# One GoogleTest executable per tests/ folder made of its *_test.cpp files; every test case is
# registered with CTest.
function(lbv_folder_test name)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  if(NOT sources)
    return()
  endif()
  lbv_existing_deps(libs ${ARG_LIBS})
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE lbv_build_options lbv_test_support ${libs})
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 300)
endfunction()
