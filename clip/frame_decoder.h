#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "avi_headers.h"
#include "riff.h"

namespace korvallestin::avi {

// Decodes the frame chunks in order into pictures of format.width x
// format.height pixels 0xAARRGGBB (alpha 0xFF), top row first. An empty
// chunk repeats the frame before it; an RLE8 frame draws over the frame
// before it (the first over colour 0).
bool DecodeFrames(const VideoFormat& format, const std::vector<Span>& chunks,
                  std::vector<std::vector<std::uint32_t>>& frames, std::string& error);

}  // namespace korvallestin::avi
