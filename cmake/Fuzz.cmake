# The fuzz build: the libraries, the tools' readers and the fuzz targets compiled by clang with
# AddressSanitizer, UndefinedBehaviorSanitizer and libFuzzer's coverage; only the targets link
# libFuzzer itself.
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "KELMIRA_FUZZ needs clang and its libFuzzer: configure with the 'fuzz' preset")
endif()
add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer
                    -fsanitize=fuzzer-no-link)
# clang links its static sanitizer runtime into executables only, which leaves the shared
# libraries' sanitizer calls undefined and trips the module's --no-undefined. The shared runtime
# (GCC's default) resolves them when each library is linked, so that check stays on; the rpath
# finds the runtime in clang's own directory.
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libclang_rt.asan-${CMAKE_SYSTEM_PROCESSOR}.so
                OUTPUT_VARIABLE kelmira_asan_runtime OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT IS_ABSOLUTE "${kelmira_asan_runtime}" OR NOT EXISTS "${kelmira_asan_runtime}")
  message(FATAL_ERROR "KELMIRA_FUZZ: clang's shared AddressSanitizer runtime was not found")
endif()
get_filename_component(kelmira_asan_dir "${kelmira_asan_runtime}" DIRECTORY)
add_link_options(-fsanitize=address,undefined -shared-libasan "LINKER:-rpath,${kelmira_asan_dir}")
# The targets link libFuzzer as a plain archive after their objects: -fsanitize=fuzzer would put
# it (and libstdc++) ahead of the shared runtime, which must load first.
set(KELMIRA_LIBFUZZER "${kelmira_asan_dir}/libclang_rt.fuzzer-${CMAKE_SYSTEM_PROCESSOR}.a")
if(NOT EXISTS "${KELMIRA_LIBFUZZER}")
  message(FATAL_ERROR "KELMIRA_FUZZ: libFuzzer was not found at ${KELMIRA_LIBFUZZER}")
endif()
