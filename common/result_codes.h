// result_codes.h: the result code of one capture, the same number in all three programs. A capture
// application exits with it and sends its low 8 bits as the single byte of a failed response stream;
// the host returns it from capture. Numbers not listed here have no meaning.
#pragma once

#include <cstdint>

inline constexpr std::int32_t DEV_SUCCESS = 0;

// 101..113: installation and environment faults found before capturing.
inline constexpr std::int32_t DEV_ERR_JAVA_NOT_FOUND = 101;
inline constexpr std::int32_t DEV_ERR_JAVA_PLATFORM_NOT_SUPPORTED = 102;
inline constexpr std::int32_t DEV_ERR_JAVA_VERSION_NOT_SUPPORTED = 103;
inline constexpr std::int32_t DEV_ERR_OS_NOT_SUPPORTED = 104;
inline constexpr std::int32_t DEV_ERR_APP_NOT_FOUND = 105;
inline constexpr std::int32_t DEV_ERR_APP_INVALID_REGISTRY = 106;
inline constexpr std::int32_t DEV_ERR_APP_NOT_INITIALIZED = 107;
inline constexpr std::int32_t DEV_ERR_APP_NOT_FOUND_FILE = 108;
inline constexpr std::int32_t DEV_ERR_DRIVER_INVALID = 109;  // also: the response pipe carried nothing
inline constexpr std::int32_t DEV_ERR_DLL_INVALID = 110;
inline constexpr std::int32_t DEV_ERR_DRIVER_NOT_SUPPORTED = 111;
inline constexpr std::int32_t DEV_ERR_DRIVER_TEST_FAILED = 112;
inline constexpr std::int32_t DEV_ERR_DRIVER_NOT_FOUND = 113;

// 201..221: faults of the device, the capture or the capture application.
inline constexpr std::int32_t DEV_ERR_NOT_CONNECTED = 201;
inline constexpr std::int32_t DEV_ERR_ALREADY_RUNNING = 202;
inline constexpr std::int32_t DEV_ERR_TIMEOUT = 203;
inline constexpr std::int32_t DEV_ERR_WRONG_FINGERPRINT = 204;
inline constexpr std::int32_t DEV_ERR_JAVA_LOCKED = 205;
inline constexpr std::int32_t DEV_ERR_DIRTY = 206;
inline constexpr std::int32_t DEV_ERR_CAPTURE_TOO_EARLY = 207;
inline constexpr std::int32_t DEV_ERR_CANCELLED = 208;
inline constexpr std::int32_t DEV_ERR_WSQ_CONVERSION = 210;
inline constexpr std::int32_t DEV_ERR_INTERNAL_APP = 211;  // any failure inside the host
inline constexpr std::int32_t DEV_ERR_INTERNAL_DEVICE = 212;
inline constexpr std::int32_t DEV_ERR_USB_FAILURE = 213;
inline constexpr std::int32_t DEV_ERR_NOT_DETECTED = 214;
inline constexpr std::int32_t DEV_ERR_FAKE_FINGER = 215;
inline constexpr std::int32_t DEV_ERR_FAULTY_FINGER = 216;
inline constexpr std::int32_t DEV_ERR_LOCKED_DEVICE = 217;
inline constexpr std::int32_t DEV_ERR_INIT_FAIL_NBIOF = 219;
inline constexpr std::int32_t DEV_ERR_DLL_INVALID_PLATFORM = 220;
inline constexpr std::int32_t DEV_ERR_OUTDATED_APP = 221;

// The generic failure. It does not fit one byte: on a pipe it arrives as 299 & 0xFF = 43.
inline constexpr std::int32_t DEV_ERR_FAILURE = 299;
