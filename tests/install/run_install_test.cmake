# Installs the built project into a fresh prefix under WORK_DIR; registers
# and unregisters it with the installed tool; builds the consumer project
# against it (find_package and pkg-config) and runs the installed hosts, each with a
# registry of its own and no LD_LIBRARY_PATH: the loader does not search the
# prefix. Then builds and installs the service template against the package,
# registers its module with the installed tool and calls it by ProgID.
#   -DBUILD_DIR=  the project's build directory (built already)
#   -DSOURCE_DIR= tests/install/consumer
#   -DTEMPLATE_DIR= examples/service_template, the service authors' template
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

# expect(FILE HAS|LACKS TEXT WHY): FILE contains TEXT, or does not.
function(expect file mode text why)
  file(READ ${file} content)
  string(FIND "${content}" "${text}" at)
  if((mode STREQUAL "HAS" AND at EQUAL -1) OR (mode STREQUAL "LACKS" AND NOT at EQUAL -1))
    message(FATAL_ERROR "${why}:\n${content}")
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
run(${CMAKE_COMMAND} --install ${WORK_DIR}/consumer --prefix ${WORK_DIR}/hosts)
# The installed tool registers the installed module by its own path.
set(registry ${WORK_DIR}/registry-tool)
run(${CMAKE_COMMAND} -E env QXCOM_REGISTRY=${registry} ${prefix}/bin/qxsoap register)
expect(${registry} HAS "@=sz:\"${lib_dir}/libqxsoapmsg.so" "qxsoap register did not name ${lib_dir} as the server")
run(${CMAKE_COMMAND} -E env QXCOM_REGISTRY=${registry} ${prefix}/bin/qxsoap unregister)
expect(${registry} LACKS "InprocServer32" "qxsoap unregister left the class behind")

foreach(host host_cmake host_pkgconfig)
  run(${CMAKE_COMMAND} -E env QXCOM_REGISTRY=${WORK_DIR}/registry-${host}
    --unset=LD_LIBRARY_PATH ${WORK_DIR}/hosts/bin/${host})
endforeach()
# The service template, as a service author builds, registers and calls it.
run(${CMAKE_COMMAND} -S ${TEMPLATE_DIR} -B ${WORK_DIR}/template -G Ninja
  -DCMAKE_PREFIX_PATH=${prefix} "-DCMAKE_CXX_FLAGS=${CXX_FLAGS}")
run(${CMAKE_COMMAND} --build ${WORK_DIR}/template)
run(${CMAKE_COMMAND} --install ${WORK_DIR}/template --prefix ${WORK_DIR}/service)
set(registry ${WORK_DIR}/registry-service)
set(service_env ${CMAKE_COMMAND} -E env QXCOM_REGISTRY=${registry} --unset=LD_LIBRARY_PATH)
run(${service_env} ${prefix}/bin/qxsoap register ${WORK_DIR}/service/lib/libhello_service.so)
set(hello_wsdl ${WORK_DIR}/service/share/hello_service/hello.wsdl)
run(${service_env} ${prefix}/bin/qxsoap wsdl ${hello_wsdl})
run(${service_env} ${WORK_DIR}/hosts/bin/service_host ${hello_wsdl})
run(${service_env} ${prefix}/bin/qxsoap unregister ${WORK_DIR}/service/lib/libhello_service.so)
expect(${registry} LACKS "example.HelloService" "qxsoap unregister left the service behind")
file(REMOVE_RECURSE ${WORK_DIR})
