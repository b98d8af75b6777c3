# add_gauge_module(NAME SOURCES ... RC script.rc [LIBRARIES ...])
# Windows: NAME.gau, a DLL that needs no compiler runtime DLL, exporting only what the sources
# mark for export, stripped of its debug sections (kept in NAME.gau.debug). Native: NAME.so over the simulated platform, with the resource script turned
# into its embedded resource table, linked with those LIBRARIES that are targets of the project.
function(add_gauge_module name)
    cmake_parse_arguments(GAUGE "" "RC" "SOURCES;LIBRARIES" ${ARGN})
    set(CMAKE_UNITY_BUILD OFF)
    if(WIN32)
        add_library(${name} SHARED ${GAUGE_SOURCES} ${GAUGE_RC})
        set_target_properties(${name} PROPERTIES PREFIX "" SUFFIX ".gau")
        get_filename_component(rc_dir "${GAUGE_RC}" ABSOLUTE)
        get_filename_component(rc_dir "${rc_dir}" DIRECTORY)
        target_include_directories(${name} PRIVATE ${rc_dir})
        target_link_options(${name} PRIVATE -static -static-libgcc -static-libstdc++ -Wl,--exclude-libs,ALL)
        target_link_libraries(${name} PRIVATE ${GAUGE_LIBRARIES})
        strip_shipped(${name})
    else()
        get_filename_component(rc_file "${GAUGE_RC}" ABSOLUTE)
        resource_script_files("${rc_file}" resource_files)
        set(table ${CMAKE_CURRENT_BINARY_DIR}/${name}_resources.cpp)
        add_custom_command(OUTPUT ${table}
            COMMAND ${CMAKE_COMMAND} -DRC=${rc_file} -DOUT=${table} -P ${CMAKE_SOURCE_DIR}/cmake/embed_resources.cmake
            DEPENDS ${rc_file} ${resource_files} ${CMAKE_SOURCE_DIR}/cmake/embed_resources.cmake ${CMAKE_SOURCE_DIR}/cmake/embedded_bytes.cmake
            COMMENT "Embedding the resources of ${name}")
        add_library(${name} MODULE ${GAUGE_SOURCES} ${table})
        set_target_properties(${name} PROPERTIES PREFIX "" SUFFIX ".so"
            CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON
            BUILD_RPATH "$ORIGIN" INSTALL_RPATH "$ORIGIN")
        # Without unique symbols the library really unloads, so a reload starts from fresh state.
        target_compile_options(${name} PRIVATE $<$<CXX_COMPILER_ID:GNU>:-fno-gnu-unique>)
        target_link_options(${name} PRIVATE ${MODULE_LINK_CHECK})
        target_link_libraries(${name} PRIVATE winplatform)
        # The libraries of the project's own (the radio's back-ends) are linked in here too; the
        # Windows system libraries have no native counterpart but the simulated platform.
        foreach(library IN LISTS GAUGE_LIBRARIES)
            if(TARGET ${library})
                target_link_libraries(${name} PRIVATE ${library})
            endif()
        endforeach()
    endif()
endfunction()
