# Checks the tables of a Windows DLL: it imports nothing but Windows' own DLLs (no compiler
# runtime, no driver: those are linked in or loaded at run time) and exports exactly the names
# given, no more and no fewer.
#   cmake -DOBJDUMP=<objdump> -DDLL=<file.dll> "-DEXPORTS=<name;name;...>" -P CheckDllInterface.cmake
# Ends with an error naming every rule the DLL breaks.
foreach(var OBJDUMP DLL EXPORTS)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "CheckDllInterface: ${var} not given")
  endif()
endforeach()

# DLLs that every Windows system has (lower case; api-ms-win-* are its API sets).
set(windows_dlls kernel32.dll msvcrt.dll advapi32.dll user32.dll gdi32.dll shell32.dll ole32.dll
  oleaut32.dll ws2_32.dll bcrypt.dll ntdll.dll setupapi.dll version.dll ucrtbase.dll)

execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE tables ERROR_VARIABLE error
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${DLL} failed: ${error}")
endif()
string(REPLACE ";" "," tables "${tables}")
string(REPLACE "\n" ";" lines "${tables}")

set(imports "")
set(exports "")
set(in_names FALSE)
foreach(line IN LISTS lines)
  if(line MATCHES "^[ \t]*DLL Name: (.+)$")
    list(APPEND imports "${CMAKE_MATCH_1}")
  elseif(line MATCHES "^\\[Ordinal/Name Pointer\\] Table")
    set(in_names TRUE)
  elseif(in_names AND line MATCHES "^[ \t]*\\[ *[0-9]+\\] (.+)$")
    list(APPEND exports "${CMAKE_MATCH_1}")
  elseif(in_names AND line MATCHES "^[ \t]*$")
    set(in_names FALSE)
  endif()
endforeach()

set(problems "")
foreach(import IN LISTS imports)
  string(TOLOWER "${import}" name)
  list(FIND windows_dlls "${name}" found)
  if(found EQUAL -1 AND NOT name MATCHES "^api-ms-win-")
    string(APPEND problems "\n  imports ${import}, which is not Windows' own")
  endif()
endforeach()
foreach(export IN LISTS exports)
  list(FIND EXPORTS "${export}" found)
  if(found EQUAL -1)
    string(APPEND problems "\n  exports ${export}, which is not one of its names")
  endif()
endforeach()
foreach(export IN LISTS EXPORTS)
  list(FIND exports "${export}" found)
  if(found EQUAL -1)
    string(APPEND problems "\n  does not export ${export}")
  endif()
endforeach()

if(problems)
  message(FATAL_ERROR "${DLL}:${problems}")
endif()
list(LENGTH exports count)
list(JOIN imports ", " import_text)
message(STATUS "${DLL}: exports the ${count} names, imports only ${import_text}")
