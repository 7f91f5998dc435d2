# Portable core of velmar-capture-a (built natively too): log, settings and command line, code names.

# Test helpers shared by the capture application's unit tests (temporary folders, file bytes).
add_library(velmar_capture_testing INTERFACE)
target_include_directories(velmar_capture_testing INTERFACE ${CMAKE_CURRENT_SOURCE_DIR})

# The capture log (SimpleLogger::Log).
if(WIN32)
  set(velmar_log_platform simple_logger_platform_win.cpp)
else()
  set(velmar_log_platform simple_logger_platform_posix.cpp)
endif()
add_library(velmar_capture_log STATIC simple_logger.cpp ${velmar_log_platform})
target_include_directories(velmar_capture_log PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
velmar_gtest(capture_log_test SOURCES simple_logger_test.cpp
             LIBS velmar_capture_log velmar_capture_testing)

# CaptureSettings and parseCommandLine.
add_library(velmar_capture_settings STATIC capture_settings.cpp)
target_include_directories(velmar_capture_settings PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(velmar_capture_settings PUBLIC velmar_capture_log)
velmar_gtest(capture_settings_test SOURCES capture_settings_test.cpp
             LIBS velmar_capture_settings velmar_capture_testing)
if(NOT WIN32)
  # Seeded mutation of the command line, natively under the sanitizers.
  velmar_gtest(capture_settings_fuzz_test SOURCES capture_settings_fuzz_test.cpp
               LIBS velmar_capture_settings velmar_capture_testing)
endif()

# Result-code names (portable) and, on Windows, the process-wide resources holder.
add_library(velmar_result_names STATIC result_code_names.cpp)
target_include_directories(velmar_result_names PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(velmar_result_names PUBLIC velmar_common)
velmar_gtest(result_code_names_test SOURCES result_code_names_test.cpp LIBS velmar_result_names)
if(WIN32)
  target_sources(velmar_result_names PRIVATE dermis_resources_win.cpp)
  target_link_libraries(velmar_result_names PUBLIC gdi32)
  velmar_gtest(dermis_resources_test SOURCES dermis_resources_win_test.cpp LIBS velmar_result_names)
endif()

# The layout of the picture's "logo.bmp" (LogoBitmap).
add_library(velmar_logo_bitmap STATIC logo_bitmap.cpp)
target_include_directories(velmar_logo_bitmap PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
velmar_gtest(logo_bitmap_test SOURCES logo_bitmap_test.cpp LIBS velmar_logo_bitmap)
