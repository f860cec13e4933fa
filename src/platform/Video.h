// Clip files decoded: pictures one at a time, when the player asks for them,
// and the sound track whole.
#pragma once

#include "gfx/Picture.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// One open clip. Times are microseconds from the clip's start.
class VideoFile {
  public:
    virtual ~VideoFile() = default;
    // The length the file states, and the time between pictures; 0 when the
    // file does not say.
    virtual std::int64_t lengthUs() const = 0;
    virtual std::int64_t frameUs() const = 0;
    // Decodes the next picture and says when it is due; false at the end.
    virtual bool nextPicture(std::int64_t& dueUs) = 0;
    // The last decoded picture scaled to `size` (at least 1 x 1); false when
    // it cannot be scaled.
    virtual bool picture(gfx::Picture& out, gfx::Size size) = 0;
    // The whole sound track as interleaved 16-bit samples of `channels` at
    // `rate`; empty when there is none. Call it before the first picture: it
    // reads the file through and goes back to the start.
    virtual std::vector<std::int16_t> sound(int rate, int channels) = 0;
};

class VideoDecoder {
  public:
    virtual ~VideoDecoder() = default;
    // nullptr (after one line on standard error) when the file cannot be
    // read or holds no picture the decoder can play.
    virtual std::unique_ptr<VideoFile> open(const std::string& path) = 0;
};

// The decoder through FFmpeg.
std::unique_ptr<VideoDecoder> createVideoDecoder();

} // namespace platform
