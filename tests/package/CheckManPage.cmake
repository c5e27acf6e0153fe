# Checks a man page's source (scdoc) against the program it documents: the
# options it describes (lines "*--option*" in OPTIONS) are exactly those
# PROGRAM --help names, it mentions no other option anywhere, and with
# CHECK_METHODS=ON the names in its METHODS section are exactly those PROGRAM --list
# prints.
#
# Run as: cmake -DPROGRAM=<program> -DPAGE=<page.scd> [-DCHECK_METHODS=ON] -P CheckManPage.cmake
cmake_minimum_required(VERSION 3.25)

function(run_program option out)
  execute_process(COMMAND ${PROGRAM} ${option} OUTPUT_VARIABLE text RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${PROGRAM} ${option} ended with ${status}")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# Reports the difference of two sets, named by what they are.
function(compare what expected_name expected actual_name actual)
  list(REMOVE_DUPLICATES expected)
  list(REMOVE_DUPLICATES actual)
  set(missing ${expected})
  set(extra ${actual})
  if(actual)
    list(REMOVE_ITEM missing ${actual})
  endif()
  if(expected)
    list(REMOVE_ITEM extra ${expected})
  endif()
  if(missing)
    message(SEND_ERROR "${PAGE}: ${what} in ${expected_name} but not in ${actual_name}: ${missing}")
  endif()
  if(extra)
    message(SEND_ERROR "${PAGE}: ${what} in ${actual_name} but not in ${expected_name}: ${extra}")
  endif()
  if(NOT expected)
    message(SEND_ERROR "${PAGE}: no ${what} in ${expected_name}")
  endif()
endfunction()

run_program(--help help)
string(REGEX MATCHALL "--[a-z][a-z-]*" help_options "${help}")

file(STRINGS ${PAGE} lines ENCODING UTF-8)
set(section "")
set(described "")
set(mentioned "")
set(methods "")
foreach(line IN LISTS lines)
  if(line MATCHES "^# ([A-Z ]+)$")
    set(section "${CMAKE_MATCH_1}")
  elseif(section STREQUAL "OPTIONS" AND line MATCHES "^\\*(--[a-z][a-z-]*)\\*")
    list(APPEND described ${CMAKE_MATCH_1})
  elseif(section STREQUAL "METHODS" AND line MATCHES "^\\*([a-z][a-z0-9-]*)\\*$")
    list(APPEND methods ${CMAKE_MATCH_1})
  endif()
  if(NOT line MATCHES "^;")  # scdoc comments
    string(REGEX MATCHALL "--[a-z][a-z-]*" in_line "${line}")
    list(APPEND mentioned ${in_line})
  endif()
endforeach()

compare("options" "--help" "${help_options}" "the OPTIONS section" "${described}")
compare("options" "--help" "${help_options}" "the page" "${mentioned}")

if(CHECK_METHODS)
  run_program(--list list)
  string(REGEX MATCHALL "(^|\n)[^\t\n]+" names "${list}")
  string(REPLACE "\n" "" names "${names}")
  compare("methods" "--list" "${names}" "the METHODS section" "${methods}")
endif()
