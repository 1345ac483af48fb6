# Installs the build tree into WORK_DIR/prefix and builds and runs the host program against it.
file(REMOVE_RECURSE ${WORK_DIR})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${WORK_DIR}/prefix
                RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -S ${HOST_SOURCE} -B ${WORK_DIR}/build -G ${GENERATOR}
                        -DCMAKE_PREFIX_PATH=${WORK_DIR}/prefix
                        "-DCMAKE_CXX_FLAGS=${HOST_CXX_FLAGS}" "-DCMAKE_EXE_LINKER_FLAGS=${HOST_LINKER_FLAGS}"
                RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "configuring the host against the installed package failed: ${rc}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${WORK_DIR}/build RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "building the host against the installed package failed: ${rc}")
endif()
execute_process(COMMAND ${WORK_DIR}/build/host RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "the host program failed: ${rc}")
endif()
# pkg-config must describe the same libraries.
find_program(PKG_CONFIG pkg-config)
if(PKG_CONFIG)
  set(ENV{PKG_CONFIG_PATH} "${WORK_DIR}/prefix/lib/pkgconfig")
  execute_process(COMMAND ${PKG_CONFIG} --libs kelmira OUTPUT_VARIABLE libs RESULT_VARIABLE rc)
  if(rc OR NOT libs MATCHES "-lkelmira")
    message(FATAL_ERROR "pkg-config kelmira is broken: ${libs}")
  endif()
endif()
# The installed Python package finds the installed libraries with no help but PYTHONPATH (not
# under AddressSanitizer, whose runtime the interpreter lacks).
if(PYTHON AND NOT HOST_CXX_FLAGS MATCHES "-fsanitize=[^ ]*address")
  load_cache(${BUILD_DIR} READ_WITH_PREFIX "" KELMIRA_PYTHON_DIR)
  set(ENV{PYTHONPATH} ${WORK_DIR}/prefix/${KELMIRA_PYTHON_DIR})
  execute_process(COMMAND ${PYTHON} -c "import kelmira; kelmira.create('Kelmira.LineGraph'); print(kelmira.MODULE_PATH)"
                  OUTPUT_VARIABLE module RESULT_VARIABLE rc)
  if(rc OR NOT module MATCHES "^${WORK_DIR}/prefix/")
    message(FATAL_ERROR "the installed Python package failed (${rc}): ${module}")
  endif()
endif()
