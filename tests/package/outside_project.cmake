# Installs the build into a fresh prefix, builds examples/library against the
# installed package as another project would, and runs it on a bundled section.
#   cmake -DBUILD_DIR=... -DSOURCE_DIR=... -DWORK_DIR=... [-DEXTRA_FLAGS=...] -P outside_project.cmake
file(REMOVE_RECURSE ${WORK_DIR})
# The prefix lies outside the build tree, so that nothing installed can
# reach back into the build (the CAD module, say) and pass unseen.
string(RANDOM LENGTH 12 tag)
set(prefix /tmp/tarvelo-outside-${tag})

# The README shows the example as it is.
file(READ ${SOURCE_DIR}/README.md readme)
file(READ ${SOURCE_DIR}/examples/library/fit_section.cpp example)
string(FIND "${readme}" "```cpp\n${example}```" at)
if(at EQUAL -1)
  message(FATAL_ERROR "README.md does not show examples/library/fit_section.cpp as it is")
endif()

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${ARGN}\n${out}\n${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()

run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
run(${CMAKE_COMMAND} -S ${SOURCE_DIR}/examples/library -B ${WORK_DIR}/build
    -DCMAKE_PREFIX_PATH=${prefix} "-DCMAKE_CXX_FLAGS=${EXTRA_FLAGS}"
    "-DCMAKE_EXE_LINKER_FLAGS=${EXTRA_FLAGS}")
run(${CMAKE_COMMAND} --build ${WORK_DIR}/build)
run(${WORK_DIR}/build/fit_section ${SOURCE_DIR}/examples/naca2412.dat ${WORK_DIR}/naca2412.FOI)
if(NOT out MATCHES "^R\\.M\\.S\\. error / chord: thickness [0-9.e-]+, camber [0-9.e-]+\nat x = 0\\.3: thickness [0-9.]+, camber [0-9.]+ \\(normalised\\)\n$")
  message(FATAL_ERROR "unexpected output:\n${out}")
endif()

# The Python module, the manual pages and the completion, where Debian's tools
# look for them.
foreach(file share/man/man1/tarvelo-fit.1.gz share/bash-completion/completions/tarvelo-fit)
  if(NOT EXISTS ${prefix}/${file})
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()
run(${CMAKE_COMMAND} -E env PYTHONPATH=${prefix}/lib/python3/dist-packages ${PYTHON_ENV}
    /usr/bin/python3 -c "import tarvelo\nprint(tarvelo.fit_section(tarvelo.read_section('${SOURCE_DIR}/examples/naca2412.dat')).control_points)")
if(NOT out STREQUAL "8\n")
  message(FATAL_ERROR "the installed Python module gave: ${out}")
endif()

# The CAD module as installed, found from the installed program and the
# installed Python module, away from the build tree: each writes a STEP file.
file(MAKE_DIRECTORY ${WORK_DIR})
run(${prefix}/bin/tarvelo-blade --section ${SOURCE_DIR}/examples/blade/section.FOI --tolerance 1e-4
    --output-dir ${WORK_DIR} ${SOURCE_DIR}/examples/blade/propeller.txt)
if(NOT out MATCHES "wrote [^\n]*propeller.step: 3 solids, valid and closed\n")
  message(FATAL_ERROR "the installed tarvelo-blade gave: ${out}")
endif()
run(${CMAKE_COMMAND} -E env PYTHONPATH=${prefix}/lib/python3/dist-packages ${PYTHON_ENV}
    /usr/bin/python3 -c "import tarvelo\nt = tarvelo.read_blade_table('${SOURCE_DIR}/examples/blade/propeller.txt')\nr = tarvelo.make_blade(*[t[k] for k in ('r', 'chord', 'pitch', 'thickness', 'camber', 'skew', 'rake')], foil=tarvelo.read_foil_file('${SOURCE_DIR}/examples/blade/section.FOI'), diameter=300, blades=2, tolerance=1e-4, export=['step'], output_dir='${WORK_DIR}')\nprint(len(r['outputs'][0]['solids']))")
if(NOT out STREQUAL "2\n")
  message(FATAL_ERROR "the installed Python module's blade gave: ${out}")
endif()
file(REMOVE_RECURSE ${WORK_DIR} ${prefix})
