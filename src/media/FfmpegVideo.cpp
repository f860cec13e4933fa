// Clips decoded with FFmpeg on the loop: each frame is decoded when its time
// comes (Runtime::at), so clips follow the loop's clock, manual ones too. The
// sound track of a clip is short; it is decoded at once and handed to the
// mixer when an audio device is open.
#include "media/SoundFile.h"
#include "media/VideoBackend.h"
#include "ui/Runtime.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}
#include <SDL_mixer.h>
#include <cstdio>
#include <vector>

namespace media {

namespace {

struct FormatCloser {
    void operator()(AVFormatContext* f) const { avformat_close_input(&f); }
};
struct CodecFreer {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FrameFreer {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketFreer {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct SwsFreer {
    void operator()(SwsContext* s) const { sws_freeContext(s); }
};
struct SwrFreer {
    void operator()(SwrContext* s) const { swr_free(&s); }
};
struct ChunkFreer {
    void operator()(Mix_Chunk* c) const { Mix_FreeChunk(c); }
};
using Format = std::unique_ptr<AVFormatContext, FormatCloser>;
using Codec = std::unique_ptr<AVCodecContext, CodecFreer>;
using Frame = std::unique_ptr<AVFrame, FrameFreer>;
using Packet = std::unique_ptr<AVPacket, PacketFreer>;

Codec openCodec(AVStream* s) {
    const AVCodec* dec = avcodec_find_decoder(s->codecpar->codec_id);
    if (!dec)
        return nullptr;
    Codec c(avcodec_alloc_context3(dec));
    if (!c || avcodec_parameters_to_context(c.get(), s->codecpar) < 0 ||
        avcodec_open2(c.get(), dec, nullptr) < 0)
        return nullptr;
    return c;
}

// Clips take a mixer channel above those of the sound players.
constexpr int kVideoChannel = 40;

class FfmpegClip final : public VideoClip {
  public:
    FfmpegClip(ui::Runtime& rt, ui::Size size, std::function<void()> onFrame,
               std::function<void()> onEnd)
        : rt_(rt), size_(size), onFrame_(std::move(onFrame)), onEnd_(std::move(onEnd)) {}

    ~FfmpegClip() override {
        if (nextId_)
            rt_.cancel(nextId_);
        if (chunk_)
            Mix_HaltChannel(kVideoChannel);
    }

    const ui::Picture& frame() const override { return frame_; }

    void start(const std::string& file) {
        start_ = rt_.now();
        if (!open(file)) {
            endAt(start_);
            return;
        }
        startSound();
        step();
    }

  private:
    bool open(const std::string& file) {
        const std::string path = soundPath(file);
        AVFormatContext* raw = nullptr;
        if (avformat_open_input(&raw, path.c_str(), nullptr, nullptr) < 0) {
            std::fprintf(stderr, "video: cannot open %s\n", path.c_str());
            return false;
        }
        fmt_.reset(raw);
        if (avformat_find_stream_info(fmt_.get(), nullptr) < 0)
            return false;
        video_ = av_find_best_stream(fmt_.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
        if (video_ < 0 || !(vdec_ = openCodec(fmt_->streams[video_]))) {
            std::fprintf(stderr, "video: no playable picture in %s\n", path.c_str());
            return false;
        }
        audio_ = av_find_best_stream(fmt_.get(), AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
        pkt_.reset(av_packet_alloc());
        decoded_.reset(av_frame_alloc());
        const AVRational fps = fmt_->streams[video_]->avg_frame_rate;
        if (fps.num > 0 && fps.den > 0)
            frameUs_ = ui::Micros(1000000.0 * fps.den / fps.num);
        if (fmt_->duration > 0)
            lengthUs_ = ui::Micros(fmt_->duration * 1000000 / AV_TIME_BASE);
        return pkt_ && decoded_;
    }

    // Decodes the whole sound track into one chunk for the mixer.
    void startSound() {
        int rate = 0, channels = 0;
        Uint16 format = 0;
        if (audio_ < 0 || !Mix_QuerySpec(&rate, &format, &channels) || format != AUDIO_S16SYS)
            return;
        Codec adec = openCodec(fmt_->streams[audio_]);
        if (!adec)
            return;
        AVChannelLayout out;
        av_channel_layout_default(&out, channels);
        SwrContext* swrRaw = nullptr;
        if (swr_alloc_set_opts2(&swrRaw, &out, AV_SAMPLE_FMT_S16, rate, &adec->ch_layout,
                                adec->sample_fmt, adec->sample_rate, 0, nullptr) < 0)
            return;
        std::unique_ptr<SwrContext, SwrFreer> swr(swrRaw);
        if (swr_init(swr.get()) < 0)
            return;
        std::vector<std::int16_t> pcm;
        Frame f(av_frame_alloc());
        auto drain = [&] {
            while (avcodec_receive_frame(adec.get(), f.get()) == 0) {
                const int cap = swr_get_out_samples(swr.get(), f->nb_samples);
                const std::size_t at = pcm.size();
                pcm.resize(at + std::size_t(cap) * channels);
                auto* dst = reinterpret_cast<uint8_t*>(pcm.data() + at);
                const int n =
                    swr_convert(swr.get(), &dst, cap, const_cast<const uint8_t**>(f->extended_data),
                                f->nb_samples);
                pcm.resize(at + std::size_t(std::max(0, n)) * channels);
            }
        };
        Packet p(av_packet_alloc());
        while (av_read_frame(fmt_.get(), p.get()) >= 0) {
            if (p->stream_index == audio_ && avcodec_send_packet(adec.get(), p.get()) >= 0)
                drain();
            av_packet_unref(p.get());
        }
        avcodec_send_packet(adec.get(), nullptr);
        drain();
        // Back to the start for the pictures.
        av_seek_frame(fmt_.get(), -1, 0, AVSEEK_FLAG_BACKWARD);
        if (pcm.empty())
            return;
        pcm_ = std::move(pcm);
        chunk_.reset(Mix_QuickLoad_RAW(reinterpret_cast<Uint8*>(pcm_.data()),
                                       Uint32(pcm_.size() * sizeof(std::int16_t))));
        if (!chunk_)
            return;
        if (Mix_AllocateChannels(-1) <= kVideoChannel)
            Mix_AllocateChannels(kVideoChannel + 1);
        Mix_PlayChannel(kVideoChannel, chunk_.get(), 0);
        const ui::Micros soundUs = ui::Micros(double(pcm_.size()) / channels / rate * 1e6);
        lengthUs_ = std::max(lengthUs_, soundUs);
    }

    // Shows the next picture and waits for the one after it.
    void step() {
        nextId_ = 0;
        ui::Micros pts;
        if (!decodeNext(pts)) {
            endAt(std::max(rt_.now(), start_ + std::max(lengthUs_, lastPtsUs_ + frameUs_)));
            return;
        }
        lastPtsUs_ = pts;
        const ui::Micros due = start_ + pts;
        nextId_ = rt_.at(std::max(due, rt_.now()), [this] {
            show();
            step();
        });
    }

    void show() {
        const int w = std::max(1, size_.w), h = std::max(1, size_.h);
        sws_.reset(sws_getCachedContext(sws_.release(), decoded_->width, decoded_->height,
                                        AVPixelFormat(decoded_->format), w, h, AV_PIX_FMT_BGR0,
                                        SWS_BILINEAR, nullptr, nullptr, nullptr));
        if (!sws_)
            return;
        // The converter may write whole SIMD blocks past a row's end: it gets
        // rows of its own, aligned and padded.
        const int stride = (w * 4 + 63) & ~63;
        scratch_.resize(std::size_t(stride) * (h + 1) + 64);
        uint8_t* dst[4] = {scratch_.data(), nullptr, nullptr, nullptr};
        const int strides[4] = {stride, 0, 0, 0};
        sws_scale(sws_.get(), decoded_->data, decoded_->linesize, 0, decoded_->height, dst,
                  strides);
        if (frame_.width() != w || frame_.height() != h)
            frame_ = ui::Picture(w, h);
        for (int y = 0; y < h; ++y) {
            const auto* row =
                reinterpret_cast<const std::uint32_t*>(scratch_.data() + std::size_t(y) * stride);
            std::uint32_t* out = frame_.data() + std::size_t(y) * w;
            for (int x = 0; x < w; ++x)
                out[x] = row[x] & 0x00FFFFFF;
        }
        if (onFrame_)
            onFrame_();
    }

    bool decodeNext(ui::Micros& ptsUs) {
        const AVRational tb = fmt_->streams[video_]->time_base;
        for (;;) {
            if (avcodec_receive_frame(vdec_.get(), decoded_.get()) == 0) {
                std::int64_t ts = decoded_->best_effort_timestamp;
                if (ts == AV_NOPTS_VALUE)
                    ts = 0;
                ptsUs = ui::Micros(av_rescale_q(ts, tb, AVRational{1, 1000000}));
                return true;
            }
            if (flushed_)
                return false;
            if (av_read_frame(fmt_.get(), pkt_.get()) < 0) {
                avcodec_send_packet(vdec_.get(), nullptr);
                flushed_ = true;
                continue;
            }
            if (pkt_->stream_index == video_)
                avcodec_send_packet(vdec_.get(), pkt_.get());
            av_packet_unref(pkt_.get());
        }
    }

    void endAt(ui::Micros when) {
        nextId_ = rt_.at(when, [this] {
            nextId_ = 0;
            if (onEnd_) {
                auto fn = onEnd_;
                fn();
            }
        });
    }

    ui::Runtime& rt_;
    ui::Size size_;
    std::function<void()> onFrame_, onEnd_;
    ui::Picture frame_;
    Format fmt_;
    Codec vdec_;
    Packet pkt_;
    Frame decoded_;
    std::unique_ptr<SwsContext, SwsFreer> sws_;
    std::vector<std::uint8_t> scratch_;
    std::vector<std::int16_t> pcm_;
    std::unique_ptr<Mix_Chunk, ChunkFreer> chunk_;
    int video_ = -1, audio_ = -1;
    bool flushed_ = false;
    ui::Micros start_ = 0, lengthUs_ = 0, lastPtsUs_ = 0, frameUs_ = 0;
    int nextId_ = 0;
};

class FfmpegVideoBackend final : public VideoBackend {
  public:
    std::unique_ptr<VideoClip> start(ui::Runtime& rt, const std::string& file, ui::Size size,
                                     std::function<void()> onFrame,
                                     std::function<void()> onEnd) override {
        auto clip = std::make_unique<FfmpegClip>(rt, size, std::move(onFrame), std::move(onEnd));
        clip->start(file);
        return clip;
    }
};

} // namespace

std::unique_ptr<VideoBackend> createFfmpegVideoBackend() {
    // Decoder chatter (format notes, deprecation hints) is not the program's to show.
    av_log_set_level(AV_LOG_ERROR);
    return std::make_unique<FfmpegVideoBackend>();
}

} // namespace media
