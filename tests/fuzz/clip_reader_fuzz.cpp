// libFuzzer target for the clip reader: any bytes must give a clip or a
// reason, never a crash, an out-of-bounds read, a hang or an unbounded
// allocation. Built and run by scripts/fuzz (`scripts/fuzz clip 60`).

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "avi_clip.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    korvallestin::AviClip clip;
    if (clip.Parse(data, size)) {
        // A clip that opened keeps its promises.
        const auto pixels = static_cast<std::size_t>(clip.Width()) * clip.Height();
        if (clip.Error().size() != 0 || clip.FrameCount() < 1 ||
            clip.FrameCount() > korvallestin::AviClip::kMaxFrames || clip.Width() < 1 ||
            clip.Width() > korvallestin::AviClip::kMaxWidth || clip.Height() < 1 ||
            clip.Height() > korvallestin::AviClip::kMaxHeight || clip.FrameIntervalMs() < 1 ||
            pixels * 4 * clip.FrameCount() > korvallestin::AviClip::kMaxDecodedBytes) {
            std::abort();
        }
        for (int i = 0; i < clip.FrameCount(); ++i) {
            if (clip.Frame(i).size() != pixels) {
                std::abort();
            }
        }
        if (clip.TransparentColour() != clip.Frame(0)[0]) {
            std::abort();
        }
    } else if (clip.Error().empty() || clip.FrameCount() != 0) {
        std::abort();
    }
    return 0;
}
