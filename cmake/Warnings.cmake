# The project's warnings, one target that every target of the build links (privately, so that the
# options stay with the code written here). TESS_WARNINGS_AS_ERRORS turns them into errors, as
# CI's builds do (.ci/run); a local build only reports them.
option(TESS_WARNINGS_AS_ERRORS "Treat compiler warnings as errors (CI's builds)" OFF)

add_library(tess_warnings INTERFACE)
target_compile_options(tess_warnings INTERFACE -Wall -Wextra)
if(TESS_WARNINGS_AS_ERRORS)
  target_compile_options(tess_warnings INTERFACE -Werror)
endif()

# tess_check_warnings(<dir>): stops the configuration when a library or executable in <dir> or
# below it does not link tess_warnings, so that no target builds without the project's warnings.
function(tess_check_warnings dir)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target ${targets})
    get_target_property(type ${target} TYPE)
    if(type MATCHES "^(STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY|EXECUTABLE)$")
      get_target_property(libraries ${target} LINK_LIBRARIES)
      if(NOT "tess_warnings" IN_LIST libraries)
        message(FATAL_ERROR "Target ${target} (${dir}) does not link tess_warnings: every target "
                            "builds with the project's warnings (cmake/Warnings.cmake)")
      endif()
    endif()
  endforeach()
  get_property(subdirectories DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(subdirectory ${subdirectories})
    tess_check_warnings(${subdirectory})
  endforeach()
endfunction()
