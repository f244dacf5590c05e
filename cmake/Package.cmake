# The package integrators ship, from `cmake --build --preset win32 --target
# package`: build/win32/Rowfork-<version>-win32.zip, holding the module file,
# INSTALL.txt (the README's section on installing, as plain text) and
# SHA256SUMS for the two.
set(package_folder ${CMAKE_BINARY_DIR}/package)
set(package_files ${package_folder}/Rowfork.lmx ${package_folder}/INSTALL.txt ${package_folder}/SHA256SUMS)
add_custom_command(
  OUTPUT ${package_files}
  COMMAND ${CMAKE_COMMAND} -DREADME=${PROJECT_SOURCE_DIR}/README.md -DMODULE=$<TARGET_FILE:Rowfork>
          -DVERSION=${PROJECT_VERSION} -DFOLDER=${package_folder} -P ${PROJECT_SOURCE_DIR}/cmake/package_files.cmake
  DEPENDS Rowfork ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/cmake/package_files.cmake)
add_custom_target(package_files ALL DEPENDS ${package_files})

install(FILES ${package_files} DESTINATION .)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME Rowfork-${PROJECT_VERSION}-win32)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)
