// result_catalog.h: every result code with its name, when it happens and whether trying again can
// help: the one table the SDK's result-code files and README's table are written from (with the
// Spanish texts of result_texts.h). Portable.
#pragma once

#include <cstddef>
#include <cstdint>

// Whether the same request, made again, can end in a capture.
enum class RetryHelps {
  kYes,            // the cause passes (the finger, the person, a busy device, a crash)
  kAfterFix,       // only once someone has done what the solution text says (device, installation)
  kNotApplicable,  // success, or a code this version never produces
};

struct ResultCatalogEntry {
  std::int32_t code;
  const char* name;  // DEV_SUCCESS, DEV_ERR_...
  const char* when;  // English, for integrators
  RetryHelps retry;
};

// The entries in ascending code order.
const ResultCatalogEntry* resultCatalog(std::size_t& count);

// "yes", "after-fix", "n/a".
const char* retryHelpsText(RetryHelps retry);
