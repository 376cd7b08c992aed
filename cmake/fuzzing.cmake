# Coverage-guided fuzzing with clang's libFuzzer. With KV_FUZZ every library of ours is compiled
# with the fuzzer's coverage hooks (-fsanitize=fuzzer-no-link) on top of AddressSanitizer and
# UndefinedBehaviorSanitizer, so the same build also runs the ordinary tests; only the targets in
# fuzz/ link libFuzzer's driver (-fsanitize=fuzzer).
if(KV_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "KV_FUZZ needs clang (configure with -DCMAKE_CXX_COMPILER=clang++)")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link)
  if(NOT KV_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
  endif()
endif()
