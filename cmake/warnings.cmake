# Our own code is built warning-free; third-party code is not held to this.
function(mervane_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()
