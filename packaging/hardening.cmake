# Release builds, which the package is made from, are hardened as Debian builds
# its own packages (dpkg-buildflags with hardening=+all): fortified C library
# calls, stack protector and stack clash protection, control-flow protection,
# a position-independent executable and a read-only relocation table bound at
# start. Debug builds, and so the sanitizer builds, stay as they are.
# Included by the top-level CMakeLists.txt before any target is made.

include(CheckCXXCompilerFlag)
include(CheckPIESupported)

set(hardened_configs $<CONFIG:Release,RelWithDebInfo,MinSizeRel>)
# Fortified calls need optimisation, which only these configurations have.
add_compile_definitions($<${hardened_configs}:_FORTIFY_SOURCE=2>)
foreach(flag -fstack-protector-strong -fstack-clash-protection -fcf-protection)
    string(MAKE_C_IDENTIFIER "have${flag}" have_flag)
    # -fcf-protection exists on x86 only, as in dpkg-buildflags.
    check_cxx_compiler_flag(${flag} ${have_flag})
    if(${have_flag})
        add_compile_options($<${hardened_configs}:${flag}>)
    endif()
endforeach()
add_link_options($<${hardened_configs}:LINKER:-z,relro,-z,now>)

check_pie_supported()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
