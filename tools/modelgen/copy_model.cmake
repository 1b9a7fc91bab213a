# cmake -DFROM=other/bin/models/x.model -DTO=bin/models/x.model -DFORMS=ON|OFF -P copy_model.cmake
#
# Copies a supplementary model made by another build (SLATEWISE_MODELS_FROM), after checking that it was
# made with the same choice of letter form classes: a form class's label is a character, the form mark and
# a number ("ｌ#2"), stored NUL-terminated, so the model holds one exactly when it has such classes. A model
# of the other choice is refused with a message instead of being used silently.
file(READ ${FROM} hex HEX)
# A UTF-8 continuation byte (the last of the character), '#', ASCII digits, NUL.
string(REGEX MATCH "[89ab][0-9a-f]23(3[0-9])+00" form "${hex}")
if(FORMS AND NOT form)
    message(FATAL_ERROR "${FROM} has no letter form classes, which SLATEWISE_LETTER_FORM_CLASSES asks for: "
                        "copy from a build configured alike, or leave SLATEWISE_MODELS_FROM empty")
endif()
if(NOT FORMS AND form)
    message(FATAL_ERROR "${FROM} has letter form classes, which SLATEWISE_LETTER_FORM_CLASSES=OFF leaves out: "
                        "copy from a build configured alike, or leave SLATEWISE_MODELS_FROM empty")
endif()
get_filename_component(folder ${TO} DIRECTORY)
file(MAKE_DIRECTORY ${folder})
file(COPY_FILE ${FROM} ${TO}.partial)
file(RENAME ${TO}.partial ${TO})
