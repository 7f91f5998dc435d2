# The velmar-capture-a program itself: start-up, device manager, threads, delivery, window, result
# processing. The processing is portable and unit-tested natively; the rest is the Win32 shell.
add_library(velmar_capture_processing STATIC capture_processing.cpp frame_rows.cpp)
target_include_directories(velmar_capture_processing PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(velmar_capture_processing PUBLIC velmar_capture_settings velmar_capture_log
                      velmar_segmentation velmar_wsq velmar_common)
velmar_gtest(capture_processing_test SOURCES capture_processing_test.cpp frame_rows_test.cpp
             LIBS velmar_capture_processing velmar_capture_testing velmar_futronic_scenario velmar_wsq_decoder)

if(NOT WIN32)
  return()
endif()

add_library(velmar_capture_a_app STATIC
  device_manager.cpp futronic_manager.cpp write_results.cpp
  thread.cpp capture_thread.cpp timeout_thread.cpp
  pipe_connection.cpp pipe_ipc_manager.cpp pipe_server_user.cpp side_pipe.cpp
  fingerprint_control.cpp fingerprint_window.cpp read_file.cpp
  process_instance.cpp)
target_include_directories(velmar_capture_a_app PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(velmar_capture_a_app PUBLIC velmar_capture_processing velmar_result_names velmar_logo_bitmap velmar_win_ui
                      velmar_futronic_sdk velmar_common_win)

add_executable(velmar-capture-a WIN32 main.cpp)
target_link_options(velmar-capture-a PRIVATE -municode)
target_link_libraries(velmar-capture-a PRIVATE velmar_capture_a_app shell32 ole32 uuid)
velmar_version_resource(velmar-capture-a "velmar-capture-a: capture application for Futronic scanners")
# The release is the 32-bit build (the vendor's libraries are 32-bit); the 64-bit build is for tests only.
if(VELMAR_WIN32_PARTS_ONLY)
  install(TARGETS velmar-capture-a RUNTIME DESTINATION capture/futronic)
  install(FILES logo.bmp DESTINATION capture/futronic)
endif()

# A dist-like folder for the tests: the program with its stand-in DLLs and logo.bmp side by side.
set(VELMAR_CAPTURE_A_STAGE ${CMAKE_BINARY_DIR}/stage/capture/futronic CACHE INTERNAL "")
add_custom_target(velmar_capture_a_stage ALL
  COMMAND ${CMAKE_COMMAND} -E make_directory ${VELMAR_CAPTURE_A_STAGE}
  COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:velmar-capture-a> $<TARGET_FILE:ftrScanAPI>
          $<TARGET_FILE:ftrMathAPI> $<TARGET_FILE:ftrAnsiSdk> ${CMAKE_CURRENT_SOURCE_DIR}/logo.bmp
          ${VELMAR_CAPTURE_A_STAGE}
  DEPENDS velmar-capture-a ftrScanAPI ftrMathAPI ftrAnsiSdk ${CMAKE_CURRENT_SOURCE_DIR}/logo.bmp
  COMMENT "Staging velmar-capture-a with its stand-in scanner")
