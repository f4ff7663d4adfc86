# gSOAP code for one binding of a WSDL, generated at build time into the
# build tree (wsdl2h, then soapcpp2) and compiled into an object library, so
# that an interop peer written against gSOAP never has generated code in the
# source tree.
#
#   qx_gsoap_binding(NAME WSDL file BINDING name SIDE client|server)
#
# NAME is the library target; BINDING the WSDL binding's name, which gSOAP
# uses for the proxy or service class (`<BINDING>Proxy` / `<BINDING>Service`,
# header `soap<BINDING>Proxy.h` / `soap<BINDING>Service.h`) and the namespace
# table. The library carries the namespace table (an object library, so that
# the table is linked although only libgsoap refers to it): a program links it
# without including the .nsmap file. gSOAP's generated sources are compiled
# with warnings off (they are not ours to fix), and its headers are included
# as system headers so that our -Wall -Wextra -Werror stays clean.
find_package(PkgConfig REQUIRED)
pkg_check_modules(GSOAPXX REQUIRED IMPORTED_TARGET gsoap++)
find_program(QX_WSDL2H wsdl2h REQUIRED)
find_program(QX_SOAPCPP2 soapcpp2 REQUIRED)
set(QX_GSOAP_IMPORT /usr/share/gsoap/import CACHE PATH "gSOAP's import directory (stlvector.h, soap12.h)")
set(QX_GSOAP_TYPEMAP /usr/share/gsoap/WS/typemap.dat CACHE FILEPATH "gSOAP's type map for wsdl2h")

function(qx_gsoap_binding name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "WSDL;BINDING;SIDE" "")
  if(arg_SIDE STREQUAL "client")
    set(role Proxy)
    set(side_flag -C)
  elseif(arg_SIDE STREQUAL "server")
    set(role Service)
    set(side_flag -S)
  else()
    message(FATAL_ERROR "qx_gsoap_binding(${name}): SIDE must be client or server")
  endif()

  set(dir ${CMAKE_CURRENT_BINARY_DIR}/${name})
  set(class_source ${dir}/soap${arg_BINDING}${role}.cpp)
  set(nsmap_source ${dir}/${name}_namespaces.cpp)
  # -j: the C++ proxy/service classes; -L: no sample client/server library;
  # -x: no sample XML messages.
  add_custom_command(
    OUTPUT ${dir}/soapC.cpp ${dir}/soapH.h ${dir}/soapStub.h ${class_source}
      ${dir}/soap${arg_BINDING}${role}.h ${dir}/${arg_BINDING}.nsmap
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
    COMMAND ${QX_WSDL2H} -o ${dir}/binding.h -t ${QX_GSOAP_TYPEMAP} ${arg_WSDL}
    COMMAND ${QX_SOAPCPP2} -j ${side_flag} -L -x -I${QX_GSOAP_IMPORT} -d ${dir} ${dir}/binding.h
    DEPENDS ${arg_WSDL}
    COMMENT "gSOAP ${arg_SIDE} code for ${arg_BINDING}"
    VERBATIM)
  file(CONFIGURE OUTPUT ${nsmap_source} CONTENT "#include \"${arg_BINDING}.nsmap\"\n")

  add_library(${name} OBJECT ${dir}/soapC.cpp ${class_source} ${nsmap_source})
  set_source_files_properties(${dir}/soapC.cpp ${class_source} ${nsmap_source}
    PROPERTIES COMPILE_OPTIONS "-w")
  target_include_directories(${name} SYSTEM PUBLIC ${dir})
  target_link_libraries(${name} PUBLIC PkgConfig::GSOAPXX)
  if(arg_SIDE STREQUAL "server")
    # The service class's operations and copy() become pure virtual, so a
    # server that leaves one out does not compile.
    target_compile_definitions(${name} PUBLIC WITH_PURE_VIRTUAL)
  endif()
endfunction()
