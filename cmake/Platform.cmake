# Compiler settings per build, and the helper that picks a unit's platform file.

if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  add_compile_options(-Wall -Wextra -Wno-unused-parameter)
endif()

if(WIN32)
  # Narrow literals are ANSI code page 936 text on Windows; wide literals stay UTF-16.
  add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-fexec-charset=GBK>)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
  # No mingw runtime DLLs beside the executables.
  add_link_options(-static -static-libgcc -static-libstdc++ $<$<CONFIG:MinSizeRel>:-s>)
endif()

# tavrin_platform_sources(target unit...): adds <unit>_win.cpp or <unit>_posix.cpp.
function(tavrin_platform_sources target)
  if(WIN32)
    set(suffix _win.cpp)
  else()
    set(suffix _posix.cpp)
  endif()
  foreach(unit IN LISTS ARGN)
    target_sources(${target} PRIVATE ${unit}${suffix})
  endforeach()
endfunction()
