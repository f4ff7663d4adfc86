# `TOOL register`, `unregister` and `unregister` again with only HOME set:
# every message names the registry file it falls back to,
# $HOME/.config/qxcom/registry, and the last says nothing was registered.
# With SERVICE, `register SERVICE` and `unregister SERVICE` name that module.
set(home ${WORK_DIR}/home)
set(registry ${home}/.config/qxcom/registry)
file(REMOVE_RECURSE ${home})
file(MAKE_DIRECTORY ${home})
# The path as a regular expression that matches only itself.
string(REGEX REPLACE "([][\\^$.|?*+(){}])" "\\\\\\1" registry_pattern "${registry}")

function(expect_message command expected)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env --unset=QXCOM_REGISTRY --unset=XDG_CONFIG_HOME HOME=${home}
      ${TOOL} ${command}
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "qxsoap ${command}: exit status ${status}; stderr: ${err}")
  endif()
  if(NOT out MATCHES "${expected}")
    message(FATAL_ERROR "qxsoap ${command} wrote:\n${out}\nexpected a match of:\n${expected}")
  endif()
endfunction()

expect_message(register "^registered .* in ${registry_pattern}\n$")
if(NOT EXISTS ${registry})
  message(FATAL_ERROR "qxsoap register did not write ${registry}")
endif()
expect_message(unregister "^unregistered .* in ${registry_pattern}\n$")
expect_message(unregister "^nothing was registered in ${registry_pattern}\n$")
if(SERVICE)
  string(REGEX REPLACE "([][\\^$.|?*+(){}])" "\\\\\\1" service_pattern "${SERVICE}")
  expect_message("register;${SERVICE}" "^registered ${service_pattern} in ${registry_pattern}\n$")
  expect_message("unregister;${SERVICE}" "^unregistered ${service_pattern} in ${registry_pattern}\n$")
endif()
