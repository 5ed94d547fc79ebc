# Checks the Windows DLL: the eleven operations are exported under their
# plain names, and the DLL imports nothing but Windows' own DLLs.
# Usage: cmake -DOBJDUMP=<objdump> -DDLL=<librfc32.dll> -P check_dll.cmake
execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${DLL} failed")
endif()

foreach(name RfcEnvironment RfcOpen RfcOpenEx RfcInstallStructure RfcCall RfcReceive
             RfcLastError RfcClose ItCreate ItFill ItDelete)
  if(NOT dump MATCHES "\\] ${name}\n")
    message(FATAL_ERROR "${DLL} does not export ${name} under its plain name")
  endif()
endforeach()
if(dump MATCHES "\\] _?[A-Za-z]+@[0-9]+\n")
  message(FATAL_ERROR "${DLL} exports a decorated (name@N) symbol")
endif()

string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
foreach(import IN LISTS imports)
  string(REPLACE "DLL Name: " "" dll "${import}")
  string(TOLOWER "${dll}" dll)
  if(NOT dll MATCHES "^(kernel32|msvcrt|user32|advapi32|ntdll|ws2_32|api-ms-win-[a-z0-9-]+)\\.dll$")
    message(FATAL_ERROR "${DLL} imports ${dll}, which is not one of Windows' own DLLs")
  endif()
endforeach()
