# Native Linux build: the translator's text logic under the sanitizers and the
# fuzzers, the benchmarks' native half, and the local translation service.
set(CMAKE_CXX_STANDARD 17)
set(SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)

add_library(text_logic_sanitized STATIC ${TEXT_LOGIC_SOURCES} ${TEXT_LOGIC_DIR}/textCompareNative.cpp)
target_include_directories(text_logic_sanitized PUBLIC ${TEXT_LOGIC_DIR})
target_compile_options(text_logic_sanitized PUBLIC ${SANITIZER_FLAGS} -Wall -Wextra)
target_link_options(text_logic_sanitized PUBLIC ${SANITIZER_FLAGS})

add_library(text_logic_plain STATIC ${TEXT_LOGIC_SOURCES} ${TEXT_LOGIC_DIR}/textCompareNative.cpp)
target_include_directories(text_logic_plain PUBLIC ${TEXT_LOGIC_DIR})
target_compile_options(text_logic_plain PRIVATE -O2 -Wall -Wextra)

add_subdirectory(tests)
add_subdirectory(bench)
add_subdirectory(service)
