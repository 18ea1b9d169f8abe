# All warnings on, per target, and fatal (HEXRACE_WERROR) where hexrace is the project built.
function(hexrace_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 /permissive- $<$<BOOL:${HEXRACE_WERROR}>:/WX>)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic
                           $<$<BOOL:${HEXRACE_WERROR}>:-Werror>)
  endif()
endfunction()
