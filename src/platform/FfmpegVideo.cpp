// Clips through FFmpeg: every handle has an owner, pictures are converted to
// the program's pixels at the size asked for.
#include "platform/Video.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}
#include <algorithm>
#include <cstdio>

namespace platform {

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

class FfmpegFile final : public VideoFile {
  public:
    bool open(const std::string& path) {
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
        av_channel_layout_default(&out, channels);
        SwrContext* swrRaw = nullptr;
        if (swr_alloc_set_opts2(&swrRaw, &out, AV_SAMPLE_FMT_S16, rate, &adec->ch_layout,
                                adec->sample_fmt, adec->sample_rate, 0, nullptr) < 0)
            return pcm;
        std::unique_ptr<SwrContext, SwrFreer> swr(swrRaw);
        if (swr_init(swr.get()) < 0)
            return pcm;
        Frame f(av_frame_alloc());
        auto drain = [&] {
            while (avcodec_receive_frame(adec.get(), f.get()) == 0) {
                const int cap = swr_get_out_samples(swr.get(), f->nb_samples);
                const std::size_t at = pcm.size();
                pcm.resize(at + std::size_t(cap) * std::size_t(channels));
                auto* dst = reinterpret_cast<uint8_t*>(pcm.data() + at);
                const int n =
                    swr_convert(swr.get(), &dst, cap, const_cast<const uint8_t**>(f->extended_data),
                                f->nb_samples);
                pcm.resize(at + std::size_t(std::max(0, n)) * std::size_t(channels));
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
        return pcm;
    }

    bool nextPicture(std::int64_t& dueUs) override {
        const AVRational tb = fmt_->streams[video_]->time_base;
        for (;;) {
            if (avcodec_receive_frame(vdec_.get(), decoded_.get()) == 0) {
                std::int64_t ts = decoded_->best_effort_timestamp;
                if (ts == AV_NOPTS_VALUE)
                    ts = 0;
                dueUs = av_rescale_q(ts, tb, AVRational{1, 1000000});
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

    bool picture(gfx::Picture& out, gfx::Size size) override {
        const int w = std::max(1, size.w), h = std::max(1, size.h);
        sws_.reset(sws_getCachedContext(sws_.release(), decoded_->width, decoded_->height,
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
        sws_scale(sws_.get(), decoded_->data, decoded_->linesize, 0, decoded_->height, dst,
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
        auto f = std::make_unique<FfmpegFile>();
        if (!f->open(path))
            return nullptr;
        return f;
    }
};

} // namespace

std::unique_ptr<VideoDecoder> createVideoDecoder() {
    // Decoder chatter (format notes, deprecation hints) is not the program's to show.
    av_log_set_level(AV_LOG_ERROR);
    return std::make_unique<FfmpegDecoder>();
}

} // namespace platform
