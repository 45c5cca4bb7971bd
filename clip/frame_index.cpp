#include "frame_index.h"

#include <algorithm>
#include <cstddef>

#include "avi_clip.h"

namespace korvallestin::avi {

namespace {

constexpr std::uint32_t kRec = FourCc("rec ");
constexpr std::uint32_t k00db = FourCc("00db");
constexpr std::uint32_t k00dc = FourCc("00dc");

// How deep 'rec ' lists may nest inside 'movi'.
constexpr int kMaxListDepth = 4;

class FrameIndexer {
  public:
    FrameIndexer(std::size_t max_frames, std::vector<Span>& chunks)
        : max_frames_(max_frames), chunks_(chunks) {}

    bool Walk(Span area, int depth, std::string& error) {
        ChunkWalker walker(area);
        Chunk chunk;
        while (walker.Next(chunk, error)) {
            if (chunk.id == kList && chunk.list_type == kRec) {
                if (depth >= kMaxListDepth) {
                    error = "'rec ' lists are nested too deep";
                    return false;
                }
                if (!Walk(chunk.body, depth + 1, error)) {
                    return false;
                }
            } else if (chunk.id == k00db || chunk.id == k00dc) {
                if (!Add(chunk.body, error)) {
                    return false;
                }
            }
            // Anything else (palette changes, index chunks, JUNK) is passed over.
        }
        return error.empty();
    }

  private:
    bool Add(Span body, std::string& error) {
        if (chunks_.size() >= max_frames_) {
            error = "the clip has more frames than " + std::to_string(max_frames_) + " (at most " +
                    std::to_string(AviClip::kMaxFrames) + " frames and " +
                    std::to_string(AviClip::kMaxDecodedBytes / (std::size_t{1024} * 1024)) +
                    " MiB of decoded pixels)";
            return false;
        }
        chunks_.push_back(body);
        return true;
    }

    std::size_t max_frames_;
    std::vector<Span>& chunks_;
};

}  // namespace

bool IndexFrames(Span movi, const VideoFormat& format, std::vector<Span>& chunks,
                 std::string& error) {
    const std::size_t frame_bytes =
        static_cast<std::size_t>(format.width) * static_cast<std::size_t>(format.height) * 4;
    const std::size_t max_frames = std::min(AviClip::kMaxDecodedBytes / frame_bytes,
                                            static_cast<std::size_t>(AviClip::kMaxFrames));
    FrameIndexer indexer(max_frames, chunks);
    if (!indexer.Walk(movi, 0, error)) {
        return false;
    }
    if (chunks.empty()) {
        error = "the clip has no frames";
        return false;
    }
    return true;
}

}  // namespace korvallestin::avi
