// result_code_names.h: velmar-capture-a's symbolic names of the result codes, as it writes them into
// its log when it delivers a result. Pure; any thread.
#pragma once

#include <cstdint>
#include <string>

namespace one {

// "DEV_SUCCESS", "DEV_ERR_TIMEOUT", ...; "UNKNOWN" for any number without a name here (221 included:
// this program never produces it and its table has no entry for it).
std::wstring resultCodeName(int32_t code);

}  // namespace one
