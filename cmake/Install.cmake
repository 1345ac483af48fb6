# Installed package: headers, both libraries, the tools, a CMake package and kelmira.pc.
include(CMakePackageConfigHelpers)

install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/kelmira DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(TARGETS kelmira-platform kelmira EXPORT KelmiraTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(EXPORT KelmiraTargets NAMESPACE Kelmira:: DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Kelmira)

configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/KelmiraConfig.cmake.in
  ${PROJECT_BINARY_DIR}/KelmiraConfig.cmake INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Kelmira)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/KelmiraConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/KelmiraConfig.cmake ${PROJECT_BINARY_DIR}/KelmiraConfigVersion.cmake
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Kelmira)

configure_file(${PROJECT_SOURCE_DIR}/cmake/kelmira.pc.in ${PROJECT_BINARY_DIR}/kelmira.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/kelmira.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# The Python package, where the system interpreter looks for packages of this prefix: Debian's
# scheme gives lib/python3/dist-packages, others their posix_prefix purelib. Kept relative so that
# `cmake --install --prefix` elsewhere still works; _install.py tells the package where the
# libraries lie from it.
find_program(KELMIRA_SYSTEM_PYTHON3 python3 PATHS /usr/bin /bin NO_DEFAULT_PATH)
set(kelmira_python_dir lib/python3/dist-packages)
if(KELMIRA_SYSTEM_PYTHON3)
  execute_process(COMMAND ${KELMIRA_SYSTEM_PYTHON3} -c
    "import sysconfig as s; n = 'deb_system' if 'deb_system' in s.get_scheme_names() else 'posix_prefix'; print(s.get_path('purelib', n, vars={'base': '/@', 'platbase': '/@'})[3:])"
    OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE rc)
  if(rc EQUAL 0 AND found)
    set(kelmira_python_dir ${found})
  endif()
endif()
set(KELMIRA_PYTHON_DIR ${kelmira_python_dir} CACHE STRING "Python package directory, relative to the prefix")
if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}")
  set(kelmira_python_libdir ${CMAKE_INSTALL_LIBDIR})
else()
  file(RELATIVE_PATH kelmira_python_libdir /@/${KELMIRA_PYTHON_DIR}/kelmira /@/${CMAKE_INSTALL_LIBDIR})
endif()
file(WRITE ${PROJECT_BINARY_DIR}/kelmira_python/_install.py
     "\"\"\"Written by the install: the libraries' directory, relative to this package.\"\"\"\nLIBDIR = \"${kelmira_python_libdir}\"\n")
install(DIRECTORY ${PROJECT_SOURCE_DIR}/python/kelmira DESTINATION ${KELMIRA_PYTHON_DIR}
        FILES_MATCHING PATTERN "*.py" PATTERN "__pycache__" EXCLUDE)
install(FILES ${PROJECT_BINARY_DIR}/kelmira_python/_install.py DESTINATION ${KELMIRA_PYTHON_DIR}/kelmira)
