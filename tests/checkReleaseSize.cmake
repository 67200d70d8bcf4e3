# The three shipped files must stay within the "About 200 KB" that the
# installer's folder page promises.
#   cmake -DQUORV=... -DSETUP=... -DREADME=... -DRELEASE=... -DREADME_WRITER=... -DSCRATCH=... -P checkReleaseSize.cmake
execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE=${README} -DRELEASE=${RELEASE} -DTARGET=${SCRATCH}/Readme.txt -P ${README_WRITER}
    RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "cannot write the readme")
endif()
set(total 0)
foreach(file ${QUORV} ${SETUP} ${SCRATCH}/Readme.txt)
    file(SIZE ${file} size)
    math(EXPR total "${total} + ${size}")
    message(STATUS "${file}: ${size} bytes")
endforeach()
message(STATUS "together: ${total} bytes")
if(total GREATER 204800)
    message(FATAL_ERROR "the release weighs ${total} bytes, more than 200 KB")
endif()
