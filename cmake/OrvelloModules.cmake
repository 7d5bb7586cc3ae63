# Sources are picked up by folder so that adding a file needs no CMake edit.
function(orvello_glob out)
  set(all "")
  foreach(dir IN LISTS ARGN)
    file(GLOB found CONFIGURE_DEPENDS "${dir}/*.cpp" "${dir}/*.c")
    list(APPEND all ${found})
  endforeach()
  set(${out} ${all} PARENT_SCOPE)
endfunction()

function(orvello_warnings target)
  if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-unused-parameter)
  endif()
endfunction()

# Windows-specific compile settings: Unicode, Windows 7 and later, static runtime.
function(orvello_windows_target target)
  if(ORVELLO_WINDOWS)
    target_compile_definitions(${target} PRIVATE UNICODE _UNICODE _WIN32_WINNT=0x0601 WINVER=0x0601 NOMINMAX WIN32_LEAN_AND_MEAN)
    target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++ -municode)
  endif()
endfunction()
