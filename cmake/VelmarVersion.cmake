# Version resources: every shipped .exe and .dll carries a VERSIONINFO with the product name, the
# company, its own file description and the one product version of the top-level project().
#
#   velmar_version_resource(<target> "<file description>")
#
# generates <target>_version.rc in the build tree and adds it to the target. Native builds ignore it.
# The same names and version are written to <build>/product.env for the packaging and the tests.
set(VELMAR_PRODUCT_NAME "velmar" CACHE STRING "Product name in version resources and the installer")
set(VELMAR_COMPANY "velmar" CACHE STRING "Company name in version resources and the installer")

file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/product.env CONTENT
"VELMAR_VERSION=${CMAKE_PROJECT_VERSION}
VELMAR_PRODUCT_NAME=\"${VELMAR_PRODUCT_NAME}\"
VELMAR_COMPANY=\"${VELMAR_COMPANY}\"
")

function(velmar_version_resource target description)
  if(NOT WIN32)
    return()
  endif()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "SHARED_LIBRARY")
    set(file_type VFT_DLL)
  elseif(type STREQUAL "EXECUTABLE")
    set(file_type VFT_APP)
  else()
    message(FATAL_ERROR "velmar_version_resource: ${target} is neither a program nor a DLL")
  endif()
  # FILEVERSION takes four numbers; a version without a tweak part gets 0.
  set(numbers ${CMAKE_PROJECT_VERSION_MAJOR} ${CMAKE_PROJECT_VERSION_MINOR} ${CMAKE_PROJECT_VERSION_PATCH}
      ${CMAKE_PROJECT_VERSION_TWEAK})
  list(TRANSFORM numbers REPLACE "^$" "0")
  list(JOIN numbers "," binary_version)
  set(version ${CMAKE_PROJECT_VERSION})
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  # Language 0x0409 (English, US) with code page 1200 (UTF-16): the block "040904B0".
  file(GENERATE OUTPUT ${rc} CONTENT "#include <winver.h>

VS_VERSION_INFO VERSIONINFO
FILEVERSION ${binary_version}
PRODUCTVERSION ${binary_version}
FILEFLAGSMASK VS_FFI_FILEFLAGSMASK
FILEFLAGS 0
FILEOS VOS_NT_WINDOWS32
FILETYPE ${file_type}
FILESUBTYPE VFT2_UNKNOWN
BEGIN
  BLOCK \"StringFileInfo\"
  BEGIN
    BLOCK \"040904B0\"
    BEGIN
      VALUE \"CompanyName\", \"${VELMAR_COMPANY}\"
      VALUE \"FileDescription\", \"${description}\"
      VALUE \"FileVersion\", \"${version}\"
      VALUE \"InternalName\", \"$<TARGET_FILE_BASE_NAME:${target}>\"
      VALUE \"OriginalFilename\", \"$<TARGET_FILE_NAME:${target}>\"
      VALUE \"ProductName\", \"${VELMAR_PRODUCT_NAME}\"
      VALUE \"ProductVersion\", \"${version}\"
    END
  END
  BLOCK \"VarFileInfo\"
  BEGIN
    VALUE \"Translation\", 0x0409, 1200
  END
END
")
  set_source_files_properties(${rc} PROPERTIES GENERATED TRUE)
  target_sources(${target} PRIVATE ${rc})
endfunction()
