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
