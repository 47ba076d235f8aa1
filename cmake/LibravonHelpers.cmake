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

# lbv_library(NAME folder SOURCES ... PUBLIC_DEPS ... PRIVATE_DEPS ...)
# One static library per src/ folder; its headers are included as "folder/header.h".
function(lbv_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;PUBLIC_DEPS;PRIVATE_DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_PUBLIC_DEPS} PRIVATE lbv_build_options ${ARG_PRIVATE_DEPS})
endfunction()

# lbv_test(NAME SOURCES ... LIBS ...)
# One GoogleTest executable per tests/ folder; every test case is registered with CTest.
function(lbv_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE lbv_build_options lbv_test_support ${ARG_LIBS})
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
