# Settings shared by every target of the build.

# Windows libraries the program and its tests link against.
set(DALVORIN_SYSTEM_LIBRARIES
    comctl32 shell32 ole32 oleaut32 uuid shlwapi gdi32 user32 advapi32 kernel32)

# Strict warnings on our own code only (GoogleTest keeps its own flags).
function(dalvorin_target_settings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror)
endfunction()

# A small Windows helper program built from one source file (Unicode entry point).
function(dalvorin_add_tool name source)
    add_executable(${name} WIN32 ${source})
    dalvorin_target_settings(${name})
    target_compile_definitions(${name} PRIVATE UNICODE _UNICODE)
    target_link_options(${name} PRIVATE -municode)
    target_link_libraries(${name} PRIVATE ${DALVORIN_SYSTEM_LIBRARIES})
endfunction()
