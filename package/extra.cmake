# Package files made at build time, written below ${CMAKE_BINARY_DIR}/package/extra,
# which make_zip.cmake copies over the staged tree:
#   both builds:   Drivers/<model>/<driver name>.dat, one per catalogue model
#                  images/title/*.png, images/port/*.png and images/Loading/1..8.png
#                  (tools/gen_images.py)
#   Windows build: Drivers/devcon32.exe, devconXP32.exe, devcon64.exe, devconARM64.exe
#                  and Drivers/<model>/{i386,amd64,arm64}/ with the sample driver's DLLs
# The INF and the catalogue file are committed in package/zip; generating
# the device-data files also checks that they still match the catalogue.
find_package(Python3 REQUIRED COMPONENTS Interpreter)

file(READ "${ORVELLO_CATALOGUE_XML}" catalogue_text LIMIT 4096)
if(NOT catalogue_text MATCHES "<Drivers[^>]* model=\"([^\"]+)\"")
  message(FATAL_ERROR "${ORVELLO_CATALOGUE_XML}: the Drivers root names no model")
endif()
set(ORVELLO_PACKAGE_MODEL "${CMAKE_MATCH_1}" CACHE INTERNAL "the package model of the catalogue")

set(extra_dir "${CMAKE_BINARY_DIR}/package/extra")
set(model_dir "${extra_dir}/Drivers/${ORVELLO_PACKAGE_MODEL}")
set(generator "${CMAKE_SOURCE_DIR}/tools/gen_driver_package.py")
# The stamp stays outside extra/: everything inside goes into the ZIP.
set(dat_stamp "${CMAKE_CURRENT_BINARY_DIR}/device_data.stamp")

add_custom_command(
  OUTPUT "${dat_stamp}"
  COMMAND "${Python3_EXECUTABLE}" "${generator}" --catalogue "${ORVELLO_CATALOGUE_XML}" --dat-dir "${model_dir}"
          --inf-dir "${CMAKE_CURRENT_SOURCE_DIR}/zip/Drivers/${ORVELLO_PACKAGE_MODEL}" --check
  COMMAND ${CMAKE_COMMAND} -E touch "${dat_stamp}"
  DEPENDS "${ORVELLO_CATALOGUE_XML}" "${generator}" "${CMAKE_SOURCE_DIR}/tools/generated_files.py"
  COMMENT "Device-data files of ${ORVELLO_PACKAGE_MODEL}"
  VERBATIM)
set(extra_outputs "${dat_stamp}")

# The skin's pictures are drawn by ImageMagick (installed by scripts/setup).
find_program(ORVELLO_IMAGEMAGICK NAMES convert magick REQUIRED)
set(image_generator "${CMAKE_SOURCE_DIR}/tools/gen_images.py")
set(skin_images "")
foreach(glyph IN ITEMS lang about deviceinfo printers min max restore close)
  list(APPEND skin_images "${extra_dir}/images/title/${glyph}.png")
endforeach()
list(APPEND skin_images "${extra_dir}/images/port/bluetooth.png")
foreach(frame RANGE 1 8)
  list(APPEND skin_images "${extra_dir}/images/Loading/${frame}.png")
endforeach()
add_custom_command(
  OUTPUT ${skin_images}
  COMMAND "${Python3_EXECUTABLE}" "${image_generator}" --out-dir "${extra_dir}" --convert "${ORVELLO_IMAGEMAGICK}"
  DEPENDS "${image_generator}" "${CMAKE_SOURCE_DIR}/tools/generated_files.py"
  COMMENT "Skin images"
  VERBATIM)
list(APPEND extra_outputs ${skin_images})

if(ORVELLO_WINDOWS)
  # <target>|<where the file comes from>|<path below extra/>. The i686
  # images are ordinary targets; the others are custom commands that name
  # their output in the ORVELLO_IMAGE property (tools/cross/cross_image.cmake).
  set(m "${ORVELLO_PACKAGE_MODEL}")
  set(images
      "devcon32|$<TARGET_FILE:devcon32>|Drivers/devcon32.exe"
      "devconXP32|$<TARGET_FILE:devconXP32>|Drivers/devconXP32.exe"
      "devcon64|$<TARGET_PROPERTY:devcon64,ORVELLO_IMAGE>|Drivers/devcon64.exe"
      "devconARM64|$<TARGET_PROPERTY:devconARM64,ORVELLO_IMAGE>|Drivers/devconARM64.exe")
  foreach(entry IN ITEMS "LM|language_monitor" "UiNew|config_dll" "UniNew|render_dll")
    string(REPLACE "|" ";" parts "${entry}")
    list(GET parts 0 suffix)
    list(GET parts 1 stem)
    list(APPEND images
         "sample_driver_${stem}_i386|$<TARGET_FILE:sample_driver_${stem}_i386>|Drivers/${m}/i386/${m}${suffix}.dll"
         "sample_driver_${stem}_amd64|$<TARGET_PROPERTY:sample_driver_${stem}_amd64,ORVELLO_IMAGE>|Drivers/${m}/amd64/${m}${suffix}.dll"
         "sample_driver_${stem}_arm64|$<TARGET_PROPERTY:sample_driver_${stem}_arm64,ORVELLO_IMAGE>|Drivers/${m}/arm64/${m}${suffix}.dll")
  endforeach()
  foreach(image IN LISTS images)
    string(REPLACE "|" ";" parts "${image}")
    list(GET parts 0 target)
    list(GET parts 1 source)
    list(GET parts 2 dest)
    add_custom_command(
      OUTPUT "${extra_dir}/${dest}"
      COMMAND ${CMAKE_COMMAND} -E copy "${source}" "${extra_dir}/${dest}"
      DEPENDS ${target} "${source}"
      VERBATIM)
    list(APPEND extra_outputs "${extra_dir}/${dest}")
  endforeach()
endif()

add_custom_command(OUTPUT "${ORVELLO_PACKAGE_ZIP}" APPEND DEPENDS ${extra_outputs})
