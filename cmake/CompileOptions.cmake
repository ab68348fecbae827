# Options shared by every target of ours.
function(kelvra_strict target)
  target_compile_definitions(${target} PRIVATE UNICODE _UNICODE _WIN32_WINNT=0x0501 WINVER=0x0501
                             _WIN32_IE=0x0600 STRICT)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror -Wno-missing-field-initializers -finput-charset=UTF-8
                         -fexec-charset=UTF-8)
endfunction()

# The binaries must run on a bare Windows: no runtime DLL beside them, and no import
# that Windows XP lacks (the thread runtime's GetTickCount64 is looked up at run time).
function(kelvra_static_runtime target)
  target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
  target_link_libraries(${target} PRIVATE kelvra_tick_count64)
endfunction()

# A file that ships goes without its symbols: they are kept beside it in FILE.debug, which
# the debug link in the file names, for reading crash reports.
function(kelvra_shipped target)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:${target}> $<TARGET_FILE:${target}>.debug
    COMMAND ${CMAKE_OBJCOPY} --strip-all --add-gnu-debuglink=$<TARGET_FILE:${target}>.debug
            $<TARGET_FILE:${target}>
    VERBATIM)
endfunction()
