// wsq_encoder.h: the WSQ encoder core: 8-bit grey image in, WSQ stream out. Pure; any thread.
// Failures return a negative status and write their text to standard error.
#pragma once

#include <cstdint>

namespace wsq {

// Converts n pixels to floats centred on the mean (`m_shift`) and scaled by `r_scale`, the larger
// distance of the darkest or lightest pixel from the mean divided by 128. Returns 0, or -92 for a
// uniform image (`r_scale` 0). The pixel sum is kept in 64 bits, so any image size is summed exactly.
int conv_img_2_flt(float* fip, float* m_shift, float* r_scale, const unsigned char* data, int num_pix);

// Encodes width x height pixels (rows from the top) at `r_bitrate` bits per pixel. On 0 `*odata` is a
// buffer from wsqAllocate (release it with wsqFree) holding `*olen` bytes; on any other status nothing
// is handed over. Statuses: -10 (its working memory), -92, -93, -11, -12 (the stream buffer, sized for
// the coded data whatever the image size) and those of the stream writer and the coder.
int wsq_encode_1(unsigned char** odata, int* olen, const unsigned char* idata, int width, int height,
                 float r_bitrate);

}  // namespace wsq
