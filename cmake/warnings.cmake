# Every target of ours compiles with -Wall -Wextra. The project's own scripts and CI turn warnings
# into errors with KV_WERROR; a plain build (a distribution's, with its own flags) never fails on one.
option(KV_WERROR "Treat compiler warnings as errors" OFF)

function(kv_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(KV_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  # GCC 12 sees overlapping copies, overreads, overflows and out-of-bounds offsets inside its own
  # <string>, <vector> and <algorithm> once -O3 inlines them ("text" + std::string, comparing or
  # inserting into vectors); these are known false alarms of that release and never point at our
  # code (the sanitizer builds check the real thing).
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE -Wno-restrict -Wno-stringop-overread -Wno-stringop-overflow
                           -Wno-array-bounds)
  endif()
endfunction()
