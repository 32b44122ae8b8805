# The engine SDK: `cmake --install <build> --prefix <dir>` installs
#   include/stagehost/...        the headers an engine includes, in the
#                                 repository's layout ("sdk/StageHost.h")
#   lib/libstagehost.so*          the shared core library
#   lib/libstagehost_math.a       the vector math library, for static linking
#   bin/stagehost, bin/heaptool   the host and the archive tool
#   lib/cmake/StageHost/          find_package(StageHost): StageHost::core,
#                                 StageHost::math, StageHost::host,
#                                 StageHost::heaptool
#   lib/pkgconfig/stagehost.pc    pkg-config --cflags --libs stagehost
include(CMakePackageConfigHelpers)

set(stagehost_sdk_headers
  sdk/StageHost.h sdk/IDemoEngine.h sdk/SystemSocket.h sdk/Services.h sdk/Version.h
  errors/Error.h errors/FormatText.h
  log/LogService.h platform/LogFile.h
  vars/VarList.h vars/Variable.h
  filesystem/FileSystem.h filesystem/NormalizePath.h
  framework/ScriptFile.h framework/BinaryFile.h framework/KeyedArray.h framework/MathTypes.h
  framework/FixedString.h framework/NameUtils.h framework/MathRoutines.h
  mathlib/VectorMath.h mathlib/MathOperations.h mathlib/MathTypes.h)
foreach(header ${stagehost_sdk_headers})
  get_filename_component(folder ${header} DIRECTORY)
  install(FILES ${PROJECT_SOURCE_DIR}/${header} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/stagehost/${folder})
endforeach()

set(stagehost_install_libdir ${CMAKE_INSTALL_LIBDIR})
set_target_properties(stagehost_core PROPERTIES EXPORT_NAME core)
install(TARGETS stagehost_core EXPORT StageHostTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})

if(TARGET stagehost_math)
  set_target_properties(stagehost_math PROPERTIES EXPORT_NAME math)
  target_include_directories(stagehost_math INTERFACE
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/stagehost>)
  install(TARGETS stagehost_math EXPORT StageHostTargets
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
endif()

# The host and heaptool find the core library next to them after install.
file(RELATIVE_PATH stagehost_bin_to_lib
  ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR} ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR})
foreach(tool stagehost heaptool)
  if(TARGET ${tool})
    set_target_properties(${tool} PROPERTIES INSTALL_RPATH "\$ORIGIN/${stagehost_bin_to_lib}")
    install(TARGETS ${tool} EXPORT StageHostTargets RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()
if(TARGET stagehost)
  set_target_properties(stagehost PROPERTIES EXPORT_NAME host)
endif()

set(stagehost_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/StageHost)
install(EXPORT StageHostTargets NAMESPACE StageHost:: DESTINATION ${stagehost_cmake_dir})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/StageHostConfig.cmake.in
  ${PROJECT_BINARY_DIR}/StageHostConfig.cmake
  INSTALL_DESTINATION ${stagehost_cmake_dir})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/StageHostConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/StageHostConfig.cmake ${PROJECT_BINARY_DIR}/StageHostConfigVersion.cmake
  DESTINATION ${stagehost_cmake_dir})

# The .pc file finds the prefix from its own place, so `--prefix` at install
# time is honoured.
file(RELATIVE_PATH stagehost_pc_to_prefix
  ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" stagehost_pc_to_prefix "${stagehost_pc_to_prefix}")
configure_file(${PROJECT_SOURCE_DIR}/cmake/stagehost.pc.in ${PROJECT_BINARY_DIR}/stagehost.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/stagehost.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
