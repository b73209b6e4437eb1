# cmake -DSOURCE=... -DTARGET=... -P CopyIfAbsent.cmake
if(NOT EXISTS "${TARGET}")
    get_filename_component(target_dir "${TARGET}" DIRECTORY)
    file(MAKE_DIRECTORY "${target_dir}")
    file(COPY_FILE "${SOURCE}" "${TARGET}")
endif()
