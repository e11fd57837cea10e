# Flags shared by every target of the project.
add_library(quorvan_flags INTERFACE)
target_compile_features(quorvan_flags INTERFACE cxx_std_20)
target_compile_options(quorvan_flags INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Winit-self)
target_compile_definitions(quorvan_flags INTERFACE _FILE_OFFSET_BITS=64 _GNU_SOURCE)

if(QUORVAN_SANITIZE)
    target_compile_options(quorvan_flags INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer
                                                   -fno-sanitize-recover=undefined)
    target_link_options(quorvan_flags INTERFACE -fsanitize=address,undefined)
endif()

# Fuzzing instruments the core for coverage and checks it with the sanitizers;
# each target in fuzz/ then links libFuzzer's main.
if(QUORVAN_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "QUORVAN_FUZZ needs clang: configure with -DCMAKE_CXX_COMPILER=clang++")
    endif()
    target_compile_options(quorvan_flags INTERFACE -fsanitize=fuzzer-no-link,address,undefined
                                                   -fno-omit-frame-pointer
                                                   -fno-sanitize-recover=undefined)
    target_link_options(quorvan_flags INTERFACE -fsanitize=address,undefined)
endif()
