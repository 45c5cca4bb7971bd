#pragma once

#include <string>
#include <vector>

#include "avi_headers.h"
#include "riff.h"

namespace korvallestin::avi {

// Finds the frame chunks ('00db', '00dc') of the frame list in order, also
// inside 'rec ' lists, passing over anything else. More frames than the
// reader's limits allow for frames of `format` are an error.
bool IndexFrames(Span movi, const VideoFormat& format, std::vector<Span>& chunks,
                 std::string& error);

}  // namespace korvallestin::avi
