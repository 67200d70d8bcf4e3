# Fails unless PROGRAM imports only DLLs that Windows always loads from the
# system folder (its known DLLs), so that nothing lying beside the program,
# in a downloads folder say, is loaded before it can restrict the search;
# ALSO_ALLOWED names further system DLLs that a program may import.
#   cmake -DOBJDUMP=... -DPROGRAM=... [-DALSO_ALLOWED=a.dll;b.dll] -P checkImports.cmake
set(known ADVAPI32.dll GDI32.dll KERNEL32.dll msvcrt.dll ole32.dll SHELL32.dll USER32.dll ${ALSO_ALLOWED})
execute_process(COMMAND ${OBJDUMP} -p ${PROGRAM} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "cannot read ${PROGRAM}")
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
if(NOT imports)
    message(FATAL_ERROR "${PROGRAM} shows no imports")
endif()
foreach(line ${imports})
    string(REPLACE "DLL Name: " "" name "${line}")
    string(STRIP "${name}" name)
    list(FIND known ${name} at)
    if(at LESS 0)
        message(FATAL_ERROR "${PROGRAM} imports ${name}, which Windows may load from beside it")
    endif()
    message(STATUS "imports ${name}")
endforeach()
