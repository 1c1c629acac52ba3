# Installation: libraries, public headers, the CMake package
# (find_package(Vantrix) -> Vantrix::vantrix, Vantrix::main) and vantrix.pc.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

install(TARGETS vantrix vantrix_main EXPORT VantrixTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

foreach(header IN LISTS VTX_PUBLIC_HEADERS)
  get_filename_component(folder ${header} DIRECTORY)
  install(FILES runtime/${header} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vantrix/${folder})
endforeach()

set(VTX_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Vantrix)
install(EXPORT VantrixTargets NAMESPACE Vantrix:: DESTINATION ${VTX_CMAKE_DIR})
configure_package_config_file(cmake/VantrixConfig.cmake.in ${PROJECT_BINARY_DIR}/VantrixConfig.cmake
  INSTALL_DESTINATION ${VTX_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/VantrixConfigVersion.cmake COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/VantrixConfig.cmake ${PROJECT_BINARY_DIR}/VantrixConfigVersion.cmake
  DESTINATION ${VTX_CMAKE_DIR})

set(VTX_PC_LIBS "")
if(VTX_SANITIZE)
  set(VTX_PC_LIBS "-fsanitize=address,undefined")
endif()
# The prefix is found relative to the .pc file, so an install moved with
# --prefix still describes itself.
file(RELATIVE_PATH VTX_PC_UP /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
configure_file(cmake/vantrix.pc.in ${PROJECT_BINARY_DIR}/vantrix.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/vantrix.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# A shared runtime: installed programs find it relative to themselves
# (bin/ -> lib/, lib/ravlo/ -> lib/), so a moved prefix keeps working.
if(BUILD_SHARED_LIBS)
  file(RELATIVE_PATH VTX_BIN_TO_LIB /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${CMAKE_INSTALL_LIBDIR})
  set_target_properties(vtxpack vtxmesh PROPERTIES INSTALL_RPATH "$ORIGIN/${VTX_BIN_TO_LIB}")
  set_target_properties(ravlo PROPERTIES INSTALL_RPATH "$ORIGIN/..")
endif()
