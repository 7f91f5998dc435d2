// capture_command.h: what the host puts on a capture application's command line: the normalised
// request (validateInput) and the command line itself (makeCommandLine). Portable.
#pragma once

#include <string>

#include "biodevice.h"

inline constexpr char PIPE_NAME_CHARS[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
inline constexpr unsigned PIPE_NAME_RANDOM_LENGTH = 24;
inline constexpr char PIPE_NAME_PREFIX[] = "\\\\.\\pipe\\";
inline constexpr char DEFAULT_PIPE_ROOT[] = "\\\\.\\pipe";
inline constexpr char DEFAULT_WSQ_PIPE_NAME[] = "\\\\.\\pipe\\wsq";
inline constexpr char DEFAULT_BMP_PIPE_NAME[] = "\\\\.\\pipe\\bmp";
inline constexpr char DEFAULT_DEBUG_LEVEL[] = "NO";
inline constexpr std::size_t MESSAGE_LIMIT = 100;  // bytes; a multi-byte character may be cut
inline constexpr int DEFAULT_TIMEOUT_MS = 45000;
inline constexpr int MIN_TIMEOUT_MS = 25000;
inline constexpr int MAX_TIMEOUT_MS = 600000;

// How the 8-bit texts of a request become the UTF-16 command line of the capture application: read in
// the ANSI code page (the records of the exported capture, console lines read by position), or as
// UTF-8 (requests read as JSON), so that every character reaches the child exactly.
enum class CommandText { kAnsi, kUtf8 };

// Normalises input in place: message cut to 100 bytes (for kUtf8 at the last whole character within
// them, so the cut text stays UTF-8); timeout parsed (std::runtime_error
// "invalid biodeviceInput.timeout='<text>'" when no 32-bit number can be read) and replaced by 45000
// outside 25000..600000; debugLevel "0".."4" else "NO"; empty pipe names become the defaults.
void validateInput(biodeviceInput& input, CommandText text = CommandText::kAnsi);

// One argument in double quotes, escaped by the Windows rules (backslashes before a quote and at the
// end doubled, quotes escaped), so the child's argument vector holds text exactly, as one argument.
std::string quoteArgument(const std::string& text);

// "<command>" [-v L] [-lci "message"] [-t T] -p "<wsq pipe>" -bp "<bmp pipe>" -h
// Throws std::runtime_error when a pipe name is empty.
std::string makeCommandLine(const biodevice& device, const biodeviceInput& input);
