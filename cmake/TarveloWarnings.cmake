# Warnings are set per target so that third-party code keeps its own.
function(tarvelo_set_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
                         -Wconversion -Wno-sign-conversion)
endfunction()
