# cmake -DZINNIA_LEARN=... -DZINNIA_CONVERT=... -DNICE=... -DMODELGEN=... -DTWINS=twins.txt -DDATA=train.s
#       [-DFORMS=forms.txt] -DWORK=build/x.model -DMODEL=bin/models/x.model -P train_model.cmake
#
# Trains WORK.txt (the text model) from DATA at the lowest CPU priority, adds the lines of the classes
# trained apart (FORMS, `slatewise-modelgen forms`), gives every twin its group's
# weights, converts the result into the binary model and copies it to MODEL. zinnia_learn's per-class
# progress is shown only when it fails; MODEL is never left half written, and a failed run removes it so
# the next build tries again.
file(REMOVE ${MODEL})
set(command ${ZINNIA_LEARN} ${DATA} ${WORK})
if(NICE)
    set(command ${NICE} -n 19 ${command})
endif()
string(TIMESTAMP started "%s")
execute_process(COMMAND ${command} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
string(TIMESTAMP finished "%s")
if(NOT rc EQUAL 0 OR NOT EXISTS ${WORK}.txt)
    message(FATAL_ERROR "zinnia_learn failed (${rc}):\n${out}")
endif()
if(FORMS)
    file(READ ${FORMS} forms)
    file(APPEND ${WORK}.txt "${forms}")
endif()
execute_process(COMMAND ${MODELGEN} expand --twins ${TWINS} --in ${WORK}.txt --out ${WORK}.expanded.txt
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
math(EXPR seconds "${finished} - ${started}")
file(SIZE ${MODEL} bytes)
message(STATUS "Trained ${MODEL}: ${bytes} bytes in ${seconds} s")
