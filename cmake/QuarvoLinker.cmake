# Links with mold when it is installed (scripts/ensure-packages.sh installs it): the sanitizer build
# links some seventy instrumented executables, which ld.bfd takes minutes over on a small machine.
# Without mold, or with a compiler that cannot use it, the toolchain's default linker stays.
#
# -DQUARVO_LINKER=default keeps the default linker even where mold is present.

set(QUARVO_LINKER "mold" CACHE STRING "Linker to use when it works: mold, or default")
set_property(CACHE QUARVO_LINKER PROPERTY STRINGS mold default)

if(QUARVO_LINKER STREQUAL "mold")
    include(CheckLinkerFlag)
    check_linker_flag(CXX "-fuse-ld=mold" QUARVO_HAVE_MOLD)
    if(QUARVO_HAVE_MOLD)
        add_link_options(-fuse-ld=mold)
    else()
        message(STATUS "mold not usable; linking with the default linker")
    endif()
endif()
