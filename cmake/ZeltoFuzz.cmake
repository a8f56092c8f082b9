# zelto_add_fuzz_target(<name> SOURCES <files...> LIBS <targets...> CORPUS <folder>)
#
# A fuzz target is one LLVMFuzzerTestOneInput in <files>. It always builds as
# <name>_replay, a plain program that feeds every file of the corpus folder
# to the target once; CTest runs it, so the corpus is a regression test under
# any compiler. With -DZELTO_FUZZ=ON (clang) it also builds <name> as a
# libFuzzer binary for real fuzzing runs.
function(zelto_add_fuzz_target name)
  cmake_parse_arguments(ARG "" "CORPUS" "SOURCES;LIBS" ${ARGN})
  add_executable(${name}_replay ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/fuzz/replaymain.cpp)
  target_link_libraries(${name}_replay PRIVATE ${ARG_LIBS})
  if(ZELTO_TESTS)
    add_test(NAME ${name}_corpus COMMAND ${name}_replay ${ARG_CORPUS})
  endif()
  if(ZELTO_FUZZ)
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  endif()
endfunction()
