# add_link_check(LIB [EXCLUDE_FROM_ALL]): links every object of the static library LIB
# into a small program together with only what LIB itself links. A static library
# alone links whatever the final program happens to hold, so an upward call would
# pass; linked whole and alone, each of its references must be met from below.
function(add_link_check lib)
  add_executable(${lib}_link_check ${ARGN} ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/link_check_main.cpp)
  target_link_libraries(${lib}_link_check PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,${lib}>")
  set_target_properties(${lib}_link_check PROPERTIES RUNTIME_OUTPUT_DIRECTORY
                        ${PROJECT_BINARY_DIR}/link-checks)
endfunction()

# use_host_files_only(TARGET): the host's raw file, folder and environment calls do
# not compile in TARGET's sources; they reach files through the platform's file service.
function(use_host_files_only target)
  target_compile_options(${target} PRIVATE
    "SHELL:-include ${PROJECT_SOURCE_DIR}/src/platform/files/raw_files_forbidden.h")
endfunction()
