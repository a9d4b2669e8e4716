# embed_file(<target-sources-var> <input> <symbol>): turns a binary file into a
# C++ source defining `const unsigned char <symbol>[]` and `<symbol>_size`.
function(embed_file out_var input symbol)
    set(output ${CMAKE_CURRENT_BINARY_DIR}/embedded/${symbol}.cpp)
    add_custom_command(
        OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -DINPUT=${input} -DOUTPUT=${output} -DSYMBOL=${symbol}
                -P ${PROJECT_SOURCE_DIR}/cmake/embed_file.cmake
        DEPENDS ${input} ${PROJECT_SOURCE_DIR}/cmake/embed_file.cmake
        VERBATIM)
    set(${out_var} ${${out_var}} ${output} PARENT_SCOPE)
endfunction()
