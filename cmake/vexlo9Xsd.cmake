# vexlo9_add_schema(<target> SCHEMA <file.xsd>... NAMESPACE <cpp::namespace> [NAMESPACE_MAP <uri>=<cpp::ns>...]
#                   [ROOT <element>...] [SOURCES <n>])
#
# Runs the schema compiler vexlo9-xsd at build time on the schemas and compiles what it writes into <target>: a
# static library that links vexlo9::vexlo9 and carries the directory of the generated headers (<stem>.h for each
# schema), created here or, when it exists already, given the generated sources. A schema, or any .xsd file beside
# it (what it includes or imports), changing makes the classes be generated again. ROOT limits the elements that
# ReadDocument accepts as a document's root, and the classes generated to what these reach. SOURCES spreads the
# class definitions over n more sources of about equal size (<first stem>-1.cpp to -n.cpp), so that a big schema
# compiles in parallel and in bounded memory. NAMESPACE_MAP puts the classes of a schema namespace in a C++ namespace
# of their own.
function(vexlo9_add_schema target)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "NAMESPACE;SOURCES" "SCHEMA;ROOT;NAMESPACE_MAP")
  if(NOT ARG_SCHEMA)
    message(FATAL_ERROR "vexlo9_add_schema(${target}): give the schema files after SCHEMA")
  endif()
  if(NOT ARG_NAMESPACE)
    message(FATAL_ERROR "vexlo9_add_schema(${target}): give the C++ namespace after NAMESPACE")
  endif()
  if(ARG_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "vexlo9_add_schema(${target}): unexpected ${ARG_UNPARSED_ARGUMENTS}")
  endif()

  if(NOT TARGET vexlo9::xsd)
    message(FATAL_ERROR "vexlo9_add_schema(${target}): the schema compiler vexlo9::xsd is not known here")
  endif()
  set(compiler vexlo9::xsd)
  get_target_property(aliased ${compiler} ALIASED_TARGET)
  if(aliased)
    set(compiler ${aliased})
  endif()

  set(dir ${CMAKE_CURRENT_BINARY_DIR}/${target}_xsd)
  set(schemas)
  set(outputs)
  set(depends)
  foreach(schema IN LISTS ARG_SCHEMA)
    cmake_path(ABSOLUTE_PATH schema BASE_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR} NORMALIZE)
    cmake_path(GET schema STEM LAST_ONLY stem)
    cmake_path(GET schema PARENT_PATH parent)
    file(GLOB beside ${parent}/*.xsd)
    list(APPEND schemas ${schema})
    list(APPEND outputs ${dir}/${stem}.h ${dir}/${stem}.cpp)
    list(APPEND depends ${schema} ${beside})
  endforeach()
  list(REMOVE_DUPLICATES depends)
  if(NOT ARG_SOURCES)
    set(ARG_SOURCES 0)
  endif()
  list(GET ARG_SCHEMA 0 first)
  cmake_path(GET first STEM LAST_ONLY first)
  if(ARG_SOURCES GREATER 0)
    foreach(part RANGE 1 ${ARG_SOURCES})
      list(APPEND outputs ${dir}/${first}-${part}.cpp)
    endforeach()
  endif()
  set(options)
  foreach(root IN LISTS ARG_ROOT)
    list(APPEND options --root ${root})
  endforeach()
  foreach(mapping IN LISTS ARG_NAMESPACE_MAP)
    list(APPEND options --namespace-map ${mapping})
  endforeach()

  add_custom_command(
    OUTPUT ${outputs}
    COMMAND $<TARGET_FILE:${compiler}> --output-dir ${dir} --namespace ${ARG_NAMESPACE} ${options} --sources ${ARG_SOURCES}
            ${schemas}
    DEPENDS ${depends} ${compiler}
    COMMENT "vexlo9-xsd: generating the classes of ${ARG_SCHEMA}"
    VERBATIM)

  if(NOT TARGET ${target})
    add_library(${target} STATIC)
    target_link_libraries(${target} PUBLIC vexlo9::vexlo9)
  endif()
  target_sources(${target} PRIVATE ${outputs})
  target_include_directories(${target} PUBLIC $<BUILD_INTERFACE:${dir}>)
endfunction()
