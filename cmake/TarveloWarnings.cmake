# Warnings are set per target so that third-party code keeps its own.
function(tarvelo_set_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
                         -Wconversion -Wno-sign-conversion)
endfunction()

# Results are compared to the last digit: no fused multiply-add, no
# reassociation. Our own targets only; a project using the library keeps its
# own flags.
function(tarvelo_set_arithmetic target)
  target_compile_options(${target} PRIVATE -ffp-contract=off)
endfunction()
