# The text logic without windows.h: pairs, the request, the reply, the
# shared buffers. The program builds it with
# translation/textCompareWindows.cpp; the native service, the sanitizer
# build and the fuzzers with textCompareNative.cpp.
set(TEXT_LOGIC_DIR ${CMAKE_CURRENT_LIST_DIR})
set(TEXT_LOGIC_SOURCES
    ${TEXT_LOGIC_DIR}/languagePairs.cpp
    ${TEXT_LOGIC_DIR}/requestComposer.cpp
    ${TEXT_LOGIC_DIR}/replyExtractor.cpp
    ${TEXT_LOGIC_DIR}/translationState.cpp)
