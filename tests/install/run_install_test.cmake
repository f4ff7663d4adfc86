# Installs the built project into a fresh prefix under WORK_DIR, builds the
# consumer project against it with find_package and with pkg-config, and
# runs both hosts with a registry file of their own.
#   -DBUILD_DIR=  the project's build directory (built already)
#   -DSOURCE_DIR= tests/install/consumer
#   -DWORK_DIR=   scratch directory, emptied first
#   -DCXX_FLAGS=  compile flags the consumer needs (sanitizers)
file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "failed (${status}): ${ARGN}\n${out}")
  endif()
endfunction()

run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
file(GLOB_RECURSE pc_files ${prefix}/*/qxsoap.pc)
list(GET pc_files 0 pc_file)
get_filename_component(pc_dir ${pc_file} DIRECTORY)
get_filename_component(lib_dir ${pc_dir} DIRECTORY)
run(${CMAKE_COMMAND} -E env PKG_CONFIG_PATH=${pc_dir}
  ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${WORK_DIR}/consumer -G Ninja
  -DCMAKE_PREFIX_PATH=${prefix} "-DCMAKE_CXX_FLAGS=${CXX_FLAGS}")
run(${CMAKE_COMMAND} --build ${WORK_DIR}/consumer)
foreach(host host_cmake host_pkgconfig)
  run(${CMAKE_COMMAND} -E env QXCOM_REGISTRY=${WORK_DIR}/registry-${host}
    LD_LIBRARY_PATH=${lib_dir} ${WORK_DIR}/consumer/${host})
endforeach()
file(REMOVE_RECURSE ${WORK_DIR})
