# Installs the built project into a fresh prefix under WORK_DIR, registers
# and unregisters it with the installed tool, builds the consumer project
# against it with find_package and with pkg-config, and runs both hosts,
# each with a registry file of its own.
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
# The installed tool registers the installed module by its own path.
set(registry ${WORK_DIR}/registry-tool)
run(${CMAKE_COMMAND} -E env QXCOM_REGISTRY=${registry} ${prefix}/bin/qxsoap register)
file(READ ${registry} registered)
string(FIND "${registered}" "@=sz:\"${lib_dir}/libqxsoapmsg.so" at)
if(at EQUAL -1)
  message(FATAL_ERROR "qxsoap register did not name ${lib_dir} as the server:\n${registered}")
endif()
run(${CMAKE_COMMAND} -E env QXCOM_REGISTRY=${registry} ${prefix}/bin/qxsoap unregister)
file(READ ${registry} unregistered)
string(FIND "${unregistered}" "InprocServer32" at)
if(NOT at EQUAL -1)
  message(FATAL_ERROR "qxsoap unregister left the class behind:\n${unregistered}")
endif()

foreach(host host_cmake host_pkgconfig)
  run(${CMAKE_COMMAND} -E env QXCOM_REGISTRY=${WORK_DIR}/registry-${host}
    LD_LIBRARY_PATH=${lib_dir} ${WORK_DIR}/consumer/${host})
endforeach()
file(REMOVE_RECURSE ${WORK_DIR})
