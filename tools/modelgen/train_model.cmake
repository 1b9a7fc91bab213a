# cmake -DSTEP=learn -DZINNIA_LEARN=... -DNICE=... -DDATA=train.s -DWORK=build/x.model -P train_model.cmake
# cmake -DSTEP=finish -DZINNIA_CONVERT=... -DMODELGEN=... -DTWINS=twins.txt [-DFORMS=forms.txt]
#       -DWORK=build/x.model -DMODEL=bin/models/x.model -P train_model.cmake
#
# learn: trains WORK.txt (the text model) from DATA at the lowest CPU priority; zinnia_learn's per-class
# progress is shown only when it fails, and a failed run leaves no WORK.txt. It is a build step of its own so
# that it runs beside the training of the classes trained apart (`slatewise-modelgen forms`).
# finish: adds the lines of those classes (FORMS) to WORK.txt, gives every twin its group's weights, converts
# the result into the binary model and copies it to MODEL. MODEL is never left half written, and a failed run
# removes it so the next build tries again.
if(STEP STREQUAL "learn")
    file(REMOVE ${WORK}.txt)
    set(command ${ZINNIA_LEARN} ${DATA} ${WORK})
    if(NICE)
        set(command ${NICE} -n 19 ${command})
    endif()
    string(TIMESTAMP started "%s")
    execute_process(COMMAND ${command} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
    string(TIMESTAMP finished "%s")
    if(NOT rc EQUAL 0 OR NOT EXISTS ${WORK}.txt)
        file(REMOVE ${WORK}.txt)
        message(FATAL_ERROR "zinnia_learn failed (${rc}):\n${out}")
    endif()
    math(EXPR seconds "${finished} - ${started}")
    message(STATUS "Trained ${WORK}.txt in ${seconds} s")
    return()
endif()
if(NOT STEP STREQUAL "finish")
    message(FATAL_ERROR "train_model.cmake: STEP must be learn or finish, not '${STEP}'")
endif()

file(REMOVE ${MODEL})
file(COPY_FILE ${WORK}.txt ${WORK}.all.txt)
if(FORMS)
    file(READ ${FORMS} forms)
    file(APPEND ${WORK}.all.txt "${forms}")
endif()
execute_process(COMMAND ${MODELGEN} expand --twins ${TWINS} --in ${WORK}.all.txt --out ${WORK}.expanded.txt
                RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "slatewise-modelgen expand failed")
endif()
file(REMOVE ${WORK})
execute_process(COMMAND ${ZINNIA_CONVERT} ${WORK}.expanded.txt ${WORK} RESULT_VARIABLE rc OUTPUT_VARIABLE out
                ERROR_VARIABLE out)
if(NOT rc EQUAL 0 OR NOT EXISTS ${WORK})
    message(FATAL_ERROR "zinnia_convert failed (${rc}):\n${out}")
endif()
get_filename_component(folder ${MODEL} DIRECTORY)
file(MAKE_DIRECTORY ${folder})
file(COPY_FILE ${WORK} ${MODEL}.partial)
file(RENAME ${MODEL}.partial ${MODEL})
file(SIZE ${MODEL} bytes)
message(STATUS "Wrote ${MODEL}: ${bytes} bytes")
