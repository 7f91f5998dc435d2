// reader_report.cpp: library results and capture reports turned into result codes.
#include "reader_report.h"

#include <cstddef>
#include <cstring>
#include <algorithm>

#include "result_codes.h"

namespace capture_b {

namespace {
constexpr uint64_t kMaxImageBytes = 64u << 20;
}  // namespace

int32_t resultForLibraryError(int32_t r, LibraryCall call) {
  const bool close = call == LibraryCall::Close;
  switch (r) {
    case dpfpdd::kInvalidParameter: return close ? DEV_ERR_INTERNAL_DEVICE : DEV_ERR_INTERNAL_APP;
    case dpfpdd::kInvalidReader: return close ? DEV_ERR_INTERNAL_APP : DEV_ERR_INTERNAL_DEVICE;
    case dpfpdd::kReaderBusy: return DEV_ERR_LOCKED_DEVICE;
    case dpfpdd::kReaderFailure: return DEV_ERR_USB_FAILURE;
    default: return DEV_ERR_INTERNAL_DEVICE;
  }
}

ReportCopy ReportCopy::of(const void* data) {
  ReportCopy copy;
  if (!data) return copy;
  dpfpdd::CaptureReport head;
  std::memcpy(&head, data, offsetof(dpfpdd::CaptureReport, image));
  std::memcpy(&head.image, static_cast<const uint8_t*>(data) + offsetof(dpfpdd::CaptureReport, image),
              sizeof head.image);
  const size_t imageBytes = head.image ? head.imageSize : 0;
  copy.bytes_.resize(sizeof(dpfpdd::CaptureReport) + imageBytes);
  uint8_t* base = copy.bytes_.data();
  if (imageBytes) std::memcpy(base + sizeof(dpfpdd::CaptureReport), head.image, imageBytes);
  head.image = imageBytes ? base + sizeof(dpfpdd::CaptureReport) : nullptr;
  std::memcpy(base, &head, sizeof head);
  return copy;
}

const dpfpdd::CaptureReport& ReportCopy::report() const {
  return *reinterpret_cast<const dpfpdd::CaptureReport*>(bytes_.data());
}

ReportOutcome outcomeOf(const dpfpdd::CaptureReport& r) {
  ReportOutcome o;
  if (r.error != 0) {
    o.code = DEV_ERR_INTERNAL_DEVICE;
  } else if (r.success != 0) {
    o.code = DEV_SUCCESS;
    o.width = static_cast<int32_t>(r.width);
    o.height = static_cast<int32_t>(r.height);
    const uint64_t area = static_cast<uint64_t>(r.width) * r.height;
    if (area > kMaxImageBytes) {
      o.code = DEV_ERR_FAULTY_FINGER;  // a size no reader delivers: not a usable image
      o.width = o.height = 0;
      return o;
    }
    if (area >= 1) {
      // Never read past what the library says it delivered; a short image is padded with white.
      o.pixels.assign(static_cast<size_t>(area), 255);
      if (r.image) std::memcpy(o.pixels.data(), r.image, static_cast<size_t>(std::min<uint64_t>(area, r.imageSize)));
    }
  } else if (r.quality == dpfpdd::kQualityCancelled) {
    o.code = DEV_ERR_CANCELLED;
  } else {
    o.code = DEV_ERR_FAULTY_FINGER;
  }
  return o;
}

}  // namespace capture_b
