# What `cmake --install` puts where (GNU directory layout): the library with its header,
# pkg-config file and CMake package; the programs; on Linux the desktop integration, the udev
# rule, the manual pages and the bash completion.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# A relocatable tree: installed programs find the library through a run path relative to
# themselves, and qv725.pc names its folders relative to itself, so a tree installed under any
# prefix (or into a staging folder) works where it lies. Distribution packages, whose library
# sits in the system's own folder, turn it off.
option(KELVANE_RELOCATABLE "Installed programs and qv725.pc find the library where the tree lies" ON)
set(KELVANE_UDEV_RULES_DIR "${CMAKE_INSTALL_PREFIX}/lib/udev/rules.d" CACHE PATH
  "Where the udev rule for the controller's USB bridges is installed")

# The library's ABI version: libqv725.so.1 -> libqv725.so.1.0.0.
set_target_properties(qv725 PROPERTIES VERSION 1.0.0 SOVERSION 1)

file(RELATIVE_PATH kelvane_bin_to_lib "${CMAKE_INSTALL_FULL_BINDIR}" "${CMAKE_INSTALL_FULL_LIBDIR}")
foreach(program kelvane qv725ctl qv725-read)
  if(TARGET ${program})
    if(KELVANE_RELOCATABLE)
      set_target_properties(${program} PROPERTIES INSTALL_RPATH "$ORIGIN/${kelvane_bin_to_lib}")
    else()
      set_target_properties(${program} PROPERTIES INSTALL_RPATH "")
    endif()
  endif()
endforeach()

install(TARGETS qv725 EXPORT qv725Targets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT library
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT library
    NAMELINK_COMPONENT development
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(FILES ${PROJECT_SOURCE_DIR}/qv725/include/qv725/qv725.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/qv725 COMPONENT development)

# find_package(qv725) gives the imported target qv725::qv725.
set(kelvane_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/qv725)
install(EXPORT qv725Targets NAMESPACE qv725:: DESTINATION ${kelvane_cmake_dir}
  COMPONENT development)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/qv725Config.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/qv725Config.cmake INSTALL_DESTINATION ${kelvane_cmake_dir})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/qv725ConfigVersion.cmake
  VERSION 1.0.0 COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/qv725Config.cmake
  ${CMAKE_CURRENT_BINARY_DIR}/qv725ConfigVersion.cmake
  DESTINATION ${kelvane_cmake_dir} COMPONENT development)

# pkg-config --cflags --libs qv725
if(KELVANE_RELOCATABLE)
  file(RELATIVE_PATH kelvane_pc_to_prefix "${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig"
    "${CMAKE_INSTALL_PREFIX}")
  string(REGEX REPLACE "/$" "" kelvane_pc_to_prefix "${kelvane_pc_to_prefix}")
  set(KELVANE_PC_PREFIX "\${pcfiledir}/${kelvane_pc_to_prefix}")
else()
  set(KELVANE_PC_PREFIX "${CMAKE_INSTALL_PREFIX}")
endif()
configure_file(${PROJECT_SOURCE_DIR}/cmake/qv725.pc.in ${CMAKE_CURRENT_BINARY_DIR}/qv725.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/qv725.pc
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT development)

foreach(program kelvane qv725ctl qv725-sim qv725-read)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT programs)
  endif()
endforeach()

if(UNIX AND NOT APPLE)
  set(packaging ${PROJECT_SOURCE_DIR}/packaging)
  set(man_pages ${packaging}/man/qv725-read.1)
  if(TARGET kelvane)
    list(APPEND man_pages ${packaging}/man/kelvane.1)
    install(FILES ${packaging}/kelvane.desktop
      DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT programs)
    # Not in the system-wide autostart folder: a user who wants the program at login copies it
    # into ~/.config/autostart (see the README).
    install(FILES ${packaging}/kelvane-autostart.desktop
      DESTINATION ${CMAKE_INSTALL_DATADIR}/kelvane COMPONENT programs)
    install(FILES ${packaging}/io.github.kelvane.Kelvane.metainfo.xml
      DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT programs)
    foreach(size 16 22 24 32 48 64 128 256)
      install(FILES ${packaging}/icons/${size}/kelvane.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
        COMPONENT programs)
    endforeach()
    install(FILES ${packaging}/icons/kelvane.svg
      DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT programs)
    install(FILES ${packaging}/60-qv725.rules DESTINATION ${KELVANE_UDEV_RULES_DIR}
      COMPONENT programs)
  endif()
  if(TARGET qv725-sim)
    list(APPEND man_pages ${packaging}/man/qv725-sim.1)
  endif()
  if(TARGET qv725ctl)
    list(APPEND man_pages ${PROJECT_SOURCE_DIR}/cli/qv725ctl.1)
    install(FILES ${PROJECT_SOURCE_DIR}/cli/completion/qv725ctl
      DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions COMPONENT programs)
  endif()
  install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT programs)
endif()
