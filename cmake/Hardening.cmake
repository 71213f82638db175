# The hardening flags Debian builds its packages with (dpkg-buildflags on
# amd64): position-independent executables, full RELRO with immediate binding,
# strong stack protection and fortified C library calls. _FORTIFY_SOURCE needs
# an optimised build, and the sanitizers make those checks themselves, so
# Debug and sanitizer builds go without it.
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
include(CheckPIESupported)
check_pie_supported()
add_compile_options(-fstack-protector-strong)
add_link_options(LINKER:-z,relro LINKER:-z,now)
if(NOT MORAVIK_SANITIZE)
    add_compile_definitions($<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
endif()
