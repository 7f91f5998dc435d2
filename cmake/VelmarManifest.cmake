# Application manifests: every .exe carries cmake/velmar.manifest (asInvoker, the supported Windows
# versions), so Windows runs it with the rights of the person who starts it and never virtualises its
# writes into the VirtualStore.
#
#   velmar_manifest(<target>)           embeds the manifest into one program
#   velmar_manifest_every_executable()  embeds it into every program defined so far (called once, at the
#                                       end of the top-level CMakeLists.txt, so no program is forgotten)
#
# mingw: a resource script naming the manifest as resource 1 of type RT_MANIFEST (24). MSVC: the
# .manifest file as a source, which the linker merges into the manifest it embeds itself (a second
# resource 1 would clash with it). Native builds ignore both.
set(VELMAR_MANIFEST ${CMAKE_CURRENT_LIST_DIR}/velmar.manifest)
set(VELMAR_MANIFEST_RC ${CMAKE_BINARY_DIR}/velmar_manifest.rc)
if(WIN32 AND NOT MSVC)
  # CREATEPROCESS_MANIFEST_RESOURCE_ID (1), RT_MANIFEST (24).
  file(CONFIGURE OUTPUT ${VELMAR_MANIFEST_RC} CONTENT "1 24 \"${VELMAR_MANIFEST}\"\n")
endif()

function(velmar_manifest target)
  if(NOT WIN32)
    return()
  endif()
  get_target_property(type ${target} TYPE)
  if(NOT type STREQUAL "EXECUTABLE")
    message(FATAL_ERROR "velmar_manifest: ${target} is not a program")
  endif()
  get_target_property(done ${target} VELMAR_MANIFEST_ADDED)
  if(done)
    return()
  endif()
  if(MSVC)
    target_sources(${target} PRIVATE ${VELMAR_MANIFEST})
  else()
    target_sources(${target} PRIVATE ${VELMAR_MANIFEST_RC})
    # The resource compiler does not report the manifest as a dependency of the script.
    set_source_files_properties(${VELMAR_MANIFEST_RC} TARGET_DIRECTORY ${target}
                                PROPERTIES OBJECT_DEPENDS ${VELMAR_MANIFEST})
  endif()
  set_target_properties(${target} PROPERTIES VELMAR_MANIFEST_ADDED TRUE)
endfunction()

function(_velmar_manifest_directory dir)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
      velmar_manifest(${target})
    endif()
  endforeach()
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(subdir IN LISTS subdirs)
    _velmar_manifest_directory(${subdir})
  endforeach()
endfunction()

function(velmar_manifest_every_executable)
  if(WIN32)
    _velmar_manifest_directory(${CMAKE_SOURCE_DIR})
  endif()
endfunction()
