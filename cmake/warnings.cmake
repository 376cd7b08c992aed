# Every target of ours compiles warning-clean.
function(kv_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()
