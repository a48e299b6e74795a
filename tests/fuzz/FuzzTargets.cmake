# Adds the fuzz targets to the main build and one test per target, which runs
# it from its seed corpus (tests/fuzz/corpus/<name>/) for PENLARK_FUZZ_SECONDS.
# libFuzzer comes with clang (runtime in libclang-rt-14-dev): without them the
# targets are skipped.
find_program(PENLARK_CLANGXX NAMES clang++-14 clang++)
if(PENLARK_CLANGXX)
  execute_process(COMMAND ${PENLARK_CLANGXX} --print-file-name=libclang_rt.fuzzer-${CMAKE_SYSTEM_PROCESSOR}.a
                  OUTPUT_VARIABLE fuzzer_runtime OUTPUT_STRIP_TRAILING_WHITESPACE)
endif()
if(NOT PENLARK_CLANGXX OR NOT IS_ABSOLUTE "${fuzzer_runtime}" OR NOT EXISTS "${fuzzer_runtime}")
  message(STATUS "clang++ with libFuzzer not found: fuzz targets skipped")
  return()
endif()

set(PENLARK_FUZZ_SECONDS 30 CACHE STRING "Seconds each fuzz target runs in a test")

include(ExternalProject)
set(PENLARK_FUZZ_BUILD ${CMAKE_BINARY_DIR}/fuzz)
ExternalProject_Add(penlark_fuzz
  SOURCE_DIR ${CMAKE_CURRENT_LIST_DIR}
  BINARY_DIR ${PENLARK_FUZZ_BUILD}
  CMAKE_ARGS -DCMAKE_CXX_COMPILER=${PENLARK_CLANGXX} -DCMAKE_BUILD_TYPE=RelWithDebInfo
             -DCMAKE_PREFIX_PATH=${CMAKE_PREFIX_PATH}
  BUILD_ALWAYS ON
  INSTALL_COMMAND ""
  USES_TERMINAL_BUILD ON)

file(GLOB fuzz_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/fuzz_*.cpp)
foreach(source ${fuzz_sources})
  get_filename_component(name ${source} NAME_WE)
  string(REPLACE "fuzz_" "" corpus ${name})
  add_test(NAME ${name}
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/run-fuzz.sh ${PENLARK_FUZZ_BUILD}/${name}
            ${CMAKE_CURRENT_LIST_DIR}/corpus/${corpus} ${PENLARK_FUZZ_SECONDS}
            ${CMAKE_BINARY_DIR}/reliability)
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" LABELS fuzz)
endforeach()
