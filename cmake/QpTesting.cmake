# qp_test(NAME name SOURCES ... LIBS ...)
# One test executable is one CTest test: under Wine that is one Wine start per
# executable rather than one per test case.
function(qp_test)
  cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} gtest gtest_main)
  if(QP_WIN32)
    # Console program, so gtest's report reaches the terminal through Wine.
    target_link_options(${T_NAME} PRIVATE -mconsole)
  endif()
  add_test(NAME ${T_NAME} COMMAND ${T_NAME} --gtest_color=no)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 600)
  endif()
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT})
endfunction()

# A Unix folder as the Windows side sees it under Wine (the Unix root is drive
# Z:), with a final backslash, escaped for a C string.
function(qp_wine_path out unix_path)
  string(REPLACE "/" "\\" p "Z:${unix_path}/")
  string(REPLACE "\\" "\\\\" p "${p}")
  set(${out} "${p}" PARENT_SCOPE)
endfunction()

# Writes a generated file (its text given in pieces) only when the text changes, so what includes it is
# not rebuilt on every configure.
function(qp_write_if_changed path)
  string(CONCAT text ${ARGN})
  file(WRITE ${path}.tmp "${text}")
  configure_file(${path}.tmp ${path} COPYONLY)
endfunction()
