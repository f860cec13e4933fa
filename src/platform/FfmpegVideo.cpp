// Clips through FFmpeg: every handle has an owner, pictures are converted to
// the program's pixels at the size asked for.
//
// The FFmpeg libraries and the hundred-odd libraries they pull in are loaded
// when the first clip is opened, not when the program starts: only the two
// answer clips need them, and resolving them would double the time to the
// first painted screen.
#include "platform/Video.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}
#include <algorithm>
#include <cstdio>
#include <dlfcn.h>
#include <mutex>

namespace platform {

namespace {

#define SHIZI_FFMPEG_CALLS(X)                                                                      \
    X(avformat_close_input)                                                                        \
    X(avformat_open_input)                                                                         \
    X(avformat_find_stream_info)                                                                   \
    X(av_find_best_stream)                                                                         \
    X(av_read_frame)                                                                               \
    X(av_seek_frame)                                                                               \
    X(avcodec_free_context)                                                                        \
    X(avcodec_find_decoder)                                                                        \
    X(avcodec_alloc_context3)                                                                      \
    X(avcodec_parameters_to_context)                                                               \
    X(avcodec_open2)                                                                               \
    X(avcodec_send_packet)                                                                         \
    X(avcodec_receive_frame)                                                                       \
    X(av_packet_alloc)                                                                             \
    X(av_packet_free)                                                                              \
    X(av_packet_unref)                                                                             \
    X(av_frame_alloc)                                                                              \
    X(av_frame_free)                                                                               \
    X(av_channel_layout_default)                                                                   \
    X(av_rescale_q)                                                                                \
    X(av_log_set_level)                                                                            \
    X(swr_alloc_set_opts2)                                                                         \
    X(swr_init)                                                                                    \
    X(swr_get_out_samples)                                                                         \
    X(swr_convert)                                                                                 \
    X(swr_free)                                                                                    \
    X(sws_getCachedContext)                                                                        \
    X(sws_scale)                                                                                   \
    X(sws_freeContext)

// The functions the decoder calls, found in the libraries of the major
// versions the program was built against.
struct Ffmpeg {
// NOLINTBEGIN(bugprone-macro-parentheses): the argument is a name, not an expression
#define SHIZI_FFMPEG_POINTER(name) decltype(&::name) name = nullptr;
    // NOLINTEND(bugprone-macro-parentheses)
    SHIZI_FFMPEG_CALLS(SHIZI_FFMPEG_POINTER)
#undef SHIZI_FFMPEG_POINTER
};

#define SHIZI_STR2(x) #x
#define SHIZI_STR(x) SHIZI_STR2(x)
constexpr const char* kLibraries[] = {
    "libavutil.so." SHIZI_STR(LIBAVUTIL_VERSION_MAJOR),
    "libswresample.so." SHIZI_STR(LIBSWRESAMPLE_VERSION_MAJOR),
    "libswscale.so." SHIZI_STR(LIBSWSCALE_VERSION_MAJOR),
    "libavcodec.so." SHIZI_STR(LIBAVCODEC_VERSION_MAJOR),
    "libavformat.so." SHIZI_STR(LIBAVFORMAT_VERSION_MAJOR),
};
#undef SHIZI_STR
#undef SHIZI_STR2

// Loads the libraries once; nullptr (after one line on standard error) when
// one of them or one of its functions is missing. The libraries stay loaded
// for the rest of the run.
const Ffmpeg* loadFfmpeg() {
    static Ffmpeg api;
    static bool ok = false;
    static std::once_flag once;
    std::call_once(once, [] {
        void* handles[std::size(kLibraries)] = {};
        for (std::size_t i = 0; i < std::size(kLibraries); ++i) {
            handles[i] = dlopen(kLibraries[i], RTLD_NOW | RTLD_LOCAL);
            if (!handles[i]) {
                std::fprintf(stderr, "video: cannot load %s (%s); the clips will not play\n",
                             kLibraries[i], dlerror());
                return;
            }
        }
        auto find = [&](const char* name) -> void* {
            for (void* h : handles)
                if (void* f = dlsym(h, name))
                    return f;
            std::fprintf(stderr,
                         "video: %s is missing from the FFmpeg libraries; the clips will "
                         "not play\n",
                         name);
            return nullptr;
        };
        bool all = true;
#define SHIZI_FFMPEG_FIND(name)                                                                    \
    api.name = reinterpret_cast<decltype(api.name)>(find(#name));                                  \
    all = all && api.name;
        SHIZI_FFMPEG_CALLS(SHIZI_FFMPEG_FIND)
#undef SHIZI_FFMPEG_FIND
        if (!all)
            return;
        // Decoder chatter (format notes, deprecation hints) is not the
        // program's to show.
        api.av_log_set_level(AV_LOG_ERROR);
        ok = true;
    });
    return ok ? &api : nullptr;
}

// Only reached once loadFfmpeg has succeeded: every open goes through it.
const Ffmpeg& ff() {
    return *loadFfmpeg();
}

struct FormatCloser {
    void operator()(AVFormatContext* f) const { ff().avformat_close_input(&f); }
};
struct CodecFreer {
    void operator()(AVCodecContext* c) const { ff().avcodec_free_context(&c); }
};
struct FrameFreer {
    void operator()(AVFrame* f) const { ff().av_frame_free(&f); }
};
struct PacketFreer {
    void operator()(AVPacket* p) const { ff().av_packet_free(&p); }
};
struct SwsFreer {
    void operator()(SwsContext* s) const { ff().sws_freeContext(s); }
};
struct SwrFreer {
    void operator()(SwrContext* s) const { ff().swr_free(&s); }
};
using Format = std::unique_ptr<AVFormatContext, FormatCloser>;
using Codec = std::unique_ptr<AVCodecContext, CodecFreer>;
using Frame = std::unique_ptr<AVFrame, FrameFreer>;
using Packet = std::unique_ptr<AVPacket, PacketFreer>;

Codec openCodec(AVStream* s) {
    const AVCodec* dec = ff().avcodec_find_decoder(s->codecpar->codec_id);
    if (!dec)
        return nullptr;
    Codec c(ff().avcodec_alloc_context3(dec));
    if (!c || ff().avcodec_parameters_to_context(c.get(), s->codecpar) < 0 ||
        ff().avcodec_open2(c.get(), dec, nullptr) < 0)
        return nullptr;
    return c;
}

class FfmpegFile final : public VideoFile {
  public:
    bool open(const std::string& path) {
        AVFormatContext* raw = nullptr;
        if (ff().avformat_open_input(&raw, path.c_str(), nullptr, nullptr) < 0) {
            std::fprintf(stderr, "video: cannot open %s\n", path.c_str());
            return false;
        }
        fmt_.reset(raw);
        if (ff().avformat_find_stream_info(fmt_.get(), nullptr) < 0)
            return false;
        video_ = ff().av_find_best_stream(fmt_.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
        if (video_ < 0 || !(vdec_ = openCodec(fmt_->streams[video_]))) {
            std::fprintf(stderr, "video: no playable picture in %s\n", path.c_str());
            return false;
        }
        audio_ = ff().av_find_best_stream(fmt_.get(), AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
        pkt_.reset(ff().av_packet_alloc());
        decoded_.reset(ff().av_frame_alloc());
        const AVRational fps = fmt_->streams[video_]->avg_frame_rate;
        if (fps.num > 0 && fps.den > 0)
            frameUs_ = std::int64_t(1000000.0 * fps.den / fps.num);
        if (fmt_->duration > 0)
            lengthUs_ = std::int64_t(fmt_->duration * 1000000 / AV_TIME_BASE);
        return pkt_ && decoded_;
    }

    std::int64_t lengthUs() const override { return lengthUs_; }
    std::int64_t frameUs() const override { return frameUs_; }

    std::vector<std::int16_t> sound(int rate, int channels) override {
        std::vector<std::int16_t> pcm;
        if (audio_ < 0 || rate <= 0 || channels <= 0)
            return pcm;
        Codec adec = openCodec(fmt_->streams[audio_]);
        if (!adec)
            return pcm;
        AVChannelLayout out;
        ff().av_channel_layout_default(&out, channels);
        SwrContext* swrRaw = nullptr;
        if (ff().swr_alloc_set_opts2(&swrRaw, &out, AV_SAMPLE_FMT_S16, rate, &adec->ch_layout,
                                     adec->sample_fmt, adec->sample_rate, 0, nullptr) < 0)
            return pcm;
        std::unique_ptr<SwrContext, SwrFreer> swr(swrRaw);
        if (ff().swr_init(swr.get()) < 0)
            return pcm;
        Frame f(ff().av_frame_alloc());
        auto drain = [&] {
            while (ff().avcodec_receive_frame(adec.get(), f.get()) == 0) {
                const int cap = ff().swr_get_out_samples(swr.get(), f->nb_samples);
                const std::size_t at = pcm.size();
                pcm.resize(at + std::size_t(cap) * std::size_t(channels));
                auto* dst = reinterpret_cast<uint8_t*>(pcm.data() + at);
                const int n =
                    ff().swr_convert(swr.get(), &dst, cap,
                                     const_cast<const uint8_t**>(f->extended_data), f->nb_samples);
                pcm.resize(at + std::size_t(std::max(0, n)) * std::size_t(channels));
            }
        };
        Packet p(ff().av_packet_alloc());
        while (ff().av_read_frame(fmt_.get(), p.get()) >= 0) {
            if (p->stream_index == audio_ && ff().avcodec_send_packet(adec.get(), p.get()) >= 0)
                drain();
            ff().av_packet_unref(p.get());
        }
        ff().avcodec_send_packet(adec.get(), nullptr);
        drain();
        // Back to the start for the pictures.
        ff().av_seek_frame(fmt_.get(), -1, 0, AVSEEK_FLAG_BACKWARD);
        return pcm;
    }

    bool nextPicture(std::int64_t& dueUs) override {
        const AVRational tb = fmt_->streams[video_]->time_base;
        for (;;) {
            if (ff().avcodec_receive_frame(vdec_.get(), decoded_.get()) == 0) {
                std::int64_t ts = decoded_->best_effort_timestamp;
                if (ts == AV_NOPTS_VALUE)
                    ts = 0;
                dueUs = ff().av_rescale_q(ts, tb, AVRational{1, 1000000});
                return true;
            }
            if (flushed_)
                return false;
            if (ff().av_read_frame(fmt_.get(), pkt_.get()) < 0) {
                ff().avcodec_send_packet(vdec_.get(), nullptr);
                flushed_ = true;
                continue;
            }
            if (pkt_->stream_index == video_)
                ff().avcodec_send_packet(vdec_.get(), pkt_.get());
            ff().av_packet_unref(pkt_.get());
        }
    }

    bool picture(gfx::Picture& out, gfx::Size size) override {
        const int w = std::max(1, size.w), h = std::max(1, size.h);
        sws_.reset(ff().sws_getCachedContext(sws_.release(), decoded_->width, decoded_->height,
                                             AVPixelFormat(decoded_->format), w, h, AV_PIX_FMT_BGR0,
                                             SWS_BILINEAR, nullptr, nullptr, nullptr));
        if (!sws_)
            return false;
        // The converter may write whole SIMD blocks past a row's end: it gets
        // rows of its own, aligned and padded.
        const int stride = (w * 4 + 63) & ~63;
        scratch_.resize(std::size_t(stride) * std::size_t(h + 1) + 64);
        uint8_t* dst[4] = {scratch_.data(), nullptr, nullptr, nullptr};
        const int strides[4] = {stride, 0, 0, 0};
        ff().sws_scale(sws_.get(), decoded_->data, decoded_->linesize, 0, decoded_->height, dst,
                       strides);
        if (out.width() != w || out.height() != h)
            out = gfx::Picture(w, h);
        for (int y = 0; y < h; ++y) {
            const auto* row =
                reinterpret_cast<const std::uint32_t*>(scratch_.data() + std::size_t(y) * stride);
            std::uint32_t* to = out.data() + std::size_t(y) * std::size_t(w);
            for (int x = 0; x < w; ++x)
                to[x] = row[x] & 0x00FFFFFF;
        }
        return true;
    }

  private:
    Format fmt_;
    Codec vdec_;
    Packet pkt_;
    Frame decoded_;
    std::unique_ptr<SwsContext, SwsFreer> sws_;
    std::vector<std::uint8_t> scratch_;
    int video_ = -1, audio_ = -1;
    bool flushed_ = false;
    std::int64_t lengthUs_ = 0, frameUs_ = 0;
};

class FfmpegDecoder final : public VideoDecoder {
  public:
    std::unique_ptr<VideoFile> open(const std::string& path) override {
        if (!loadFfmpeg())
            return nullptr;
        auto f = std::make_unique<FfmpegFile>();
        if (!f->open(path))
            return nullptr;
        return f;
    }
};

} // namespace

std::unique_ptr<VideoDecoder> createVideoDecoder() {
    return std::make_unique<FfmpegDecoder>();
}

} // namespace platform
