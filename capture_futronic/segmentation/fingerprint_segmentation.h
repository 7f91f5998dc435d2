// fingerprint_segmentation.h: from a captured grey frame to a 512 x 512 image holding exactly one
// finger. Built in two variants from the same sources: velmar_segmentation (velmar-capture-a) and
// velmar_segmentation_b (velmar-capture-b, compiled with VELMAR_SEGMENTATION_VARIANT_B), which takes a
// debug-dump flag and the run identifier, logs three more progress lines, keeps quiet about a failed
// segmentation or a wrong finger count, and names the wrong-edge class differently.
#pragma once

#include <cstdint>
#include <string>

#include "gray_image.h"
#include "region_labeling.h"
#include "segmentation_log.h"

namespace segmentation {

#ifndef VELMAR_SEGMENTATION_VARIANT_B

// Threshold, erosion, dilation and labelling of image in place, with room for capacity regions.
bool segment(GrayImage& image, const SegmentationParams& params, RegionTables& regions,
             int32_t capacity, SegmentationLog* log = nullptr);

// The whole pipeline. frame is consumed (on return it holds the label image); output, allocated by the
// caller (usually params.outputWidth x params.outputHeight), receives the finger centred on fill. On
// false output is left as it was.
bool GetFingerPrint(GrayImage& frame, GrayImage& output, const SegmentationParams& params,
                    SegmentationLog* log = nullptr);

#else

// As above; with debugDump the thresholded image is written to "original.b&w-<runId>.pgm" in the
// working directory.
bool segment(GrayImage& image, const SegmentationParams& params, RegionTables& regions,
             int32_t capacity, bool debugDump, const std::wstring& runId,
             SegmentationLog* log = nullptr);

// As above; with debugDump also the masked grey copy goes to "original.masked-<runId>.pgm".
bool GetFingerPrint(GrayImage& frame, GrayImage& output, const SegmentationParams& params,
                    bool debugDump, const std::wstring& runId, SegmentationLog* log = nullptr);

#endif

// The log's class text of a region (it never changes the outcome).
const wchar_t* regionClassText(const RegionBox& box, uint32_t area, const SegmentationParams& params);

}  // namespace segmentation
