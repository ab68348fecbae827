# Options shared by every target of ours.
function(kelvra_strict target)
  target_compile_definitions(${target} PRIVATE UNICODE _UNICODE _WIN32_WINNT=0x0501 WINVER=0x0501
                             _WIN32_IE=0x0600 STRICT)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror -Wno-missing-field-initializers -finput-charset=UTF-8
                         -fexec-charset=UTF-8)
endfunction()

# The binaries must run on a bare Windows: no runtime DLL beside them.
function(kelvra_static_runtime target)
  target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
endfunction()
