# Windows images for the processors that the windows preset's compiler
# (i686) does not target: x86_64 with the x86_64 mingw-w64 compiler, ARM64
# with clang and lld against import libraries that llvm-dlltool makes from
# our own .def files (there is no ARM64 C runtime here, so ARM64 images
# link none). The compilers are run directly by a custom command.
include_guard(GLOBAL)

find_program(ORVELLO_MINGW64_CC NAMES x86_64-w64-mingw32-gcc-posix x86_64-w64-mingw32-gcc REQUIRED)
find_program(ORVELLO_CLANG NAMES clang-14 clang REQUIRED)
find_program(ORVELLO_LLD NAMES ld.lld-14 ld.lld PATHS /usr/lib/llvm-14/bin REQUIRED)
find_program(ORVELLO_DLLTOOL NAMES llvm-dlltool-14 llvm-dlltool PATHS /usr/lib/llvm-14/bin REQUIRED)
# The mingw-w64 headers serve every processor; the i686 toolchain's find
# root would hide them from find_path.
find_path(ORVELLO_MINGW_INCLUDE windows.h PATHS /usr/share/mingw-w64/include NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH
          REQUIRED)

# orvello_cross_image(<target> ARCH x86_64|arm64 KIND exe|dll OUTPUT <file>
#                     SOURCES <file>... [DEF <file>] [ENTRY <symbol>]
#                     [CRT] [DEFINES <-D...>...] [LIBS <name>...] [DEPENDS <file>...])
# CRT links the C runtime with a wmain entry (x86_64 only); without it the
# image starts at ENTRY and links nothing but LIBS. The target gets the
# property ORVELLO_IMAGE with the output path.
function(orvello_cross_image target)
  cmake_parse_arguments(A "CRT" "ARCH;KIND;OUTPUT;DEF;ENTRY" "SOURCES;DEFINES;LIBS;DEPENDS" ${ARGN})
  set(cross_dir "${CMAKE_CURRENT_FUNCTION_LIST_DIR}")
  set(flags -std=c++20 -O2 -Wall -Wextra -Wno-unused-parameter -fno-exceptions -fno-rtti
            -DUNICODE -D_UNICODE -DWIN32_LEAN_AND_MEAN -DNOMINMAX ${A_DEFINES})
  set(steps "")
  set(libs "")
  if(A_ARCH STREQUAL "x86_64")
    set(cc "${ORVELLO_MINGW64_CC}")
    list(APPEND flags -s)
    foreach(lib IN LISTS A_LIBS)
      list(APPEND libs -l${lib})
    endforeach()
  elseif(A_ARCH STREQUAL "arm64")
    if(A_CRT)
      message(FATAL_ERROR "${target}: there is no ARM64 C runtime to link")
    endif()
    set(cc "${ORVELLO_CLANG}")
    set(imports "${CMAKE_CURRENT_BINARY_DIR}/${target}-imports")
    list(APPEND flags --target=aarch64-w64-windows-gnu -isystem "${ORVELLO_MINGW_INCLUDE}" --ld-path=${ORVELLO_LLD}
                      -Wl,-s)
    list(APPEND steps COMMAND ${CMAKE_COMMAND} -E make_directory "${imports}")
    foreach(lib IN LISTS A_LIBS)
      set(def "${cross_dir}/imports/${lib}.def")
      list(APPEND steps COMMAND "${ORVELLO_DLLTOOL}" -m arm64 -d "${def}" -l "${imports}/lib${lib}.a")
      list(APPEND A_DEPENDS "${def}")
      list(APPEND libs -l${lib})
    endforeach()
    list(PREPEND libs -L${imports})
  else()
    message(FATAL_ERROR "${target}: unknown ARCH ${A_ARCH}")
  endif()

  if(A_KIND STREQUAL "dll")
    list(APPEND flags -shared)
  else()
    list(APPEND flags -Wl,--subsystem,console)
  endif()
  if(A_CRT)
    list(APPEND flags -municode -static)
  else()
    list(APPEND flags -nostdlib)
  endif()
  if(A_ENTRY)
    list(APPEND flags -Wl,-e,${A_ENTRY})
  endif()

  get_filename_component(out_dir "${A_OUTPUT}" DIRECTORY)
  add_custom_command(
    OUTPUT "${A_OUTPUT}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${out_dir}"
    ${steps}
    COMMAND "${cc}" ${flags} ${A_SOURCES} ${A_DEF} ${libs} -o "${A_OUTPUT}"
    DEPENDS ${A_SOURCES} ${A_DEF} ${A_DEPENDS} "${cross_dir}/cross_image.cmake"
    COMMENT "Building ${A_ARCH} ${A_OUTPUT}"
    VERBATIM)
  add_custom_target(${target} ALL DEPENDS "${A_OUTPUT}")
  set_target_properties(${target} PROPERTIES ORVELLO_IMAGE "${A_OUTPUT}")
endfunction()
