// Clips: the control shows the decoded pictures in its rectangle and reports
// the end once the clip has played, on the loop's clock.
#include "MediaTestKit.h"
#include "media/FakeMedia.h"
#include "media/VideoBackend.h"
#include "media/VideoPlayer.h"
#include "ui/Form.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}
#include <gtest/gtest.h>

using namespace media;

namespace {

// An AVI of `frames` solid frames at 10 a second, frame i in colour i * 40.
void writeAvi(const std::string& path, int frames) {
    AVFormatContext* oc = nullptr;
    ASSERT_GE(avformat_alloc_output_context2(&oc, nullptr, "avi", path.c_str()), 0);
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_RAWVIDEO);
    AVStream* st = avformat_new_stream(oc, nullptr);
    AVCodecContext* c = avcodec_alloc_context3(codec);
    c->width = 32;
    c->height = 24;
    c->pix_fmt = AV_PIX_FMT_BGR24;
    c->time_base = {1, 10};
    c->framerate = {10, 1};
    ASSERT_GE(avcodec_open2(c, codec, nullptr), 0);
    avcodec_parameters_from_context(st->codecpar, c);
    st->time_base = {1, 10};
    ASSERT_GE(avio_open(&oc->pb, path.c_str(), AVIO_FLAG_WRITE), 0);
    ASSERT_GE(avformat_write_header(oc, nullptr), 0);
    AVFrame* f = av_frame_alloc();
    f->width = 32;
    f->height = 24;
    f->format = AV_PIX_FMT_BGR24;
    av_frame_get_buffer(f, 0);
    AVPacket* p = av_packet_alloc();
    auto drain = [&] {
        while (avcodec_receive_packet(c, p) == 0) {
            av_packet_rescale_ts(p, c->time_base, st->time_base);
            p->stream_index = st->index;
            av_interleaved_write_frame(oc, p);
        }
    };
    for (int i = 0; i < frames; ++i) {
        av_frame_make_writable(f);
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 32 * 3; ++x)
                f->data[0][y * f->linesize[0] + x] = uint8_t(i * 40);
        f->pts = i;
        avcodec_send_frame(c, f);
        drain();
    }
    avcodec_send_frame(c, nullptr);
    drain();
    av_write_trailer(oc);
    av_packet_free(&p);
    av_frame_free(&f);
    avcodec_free_context(&c);
    avio_closep(&oc->pb);
    avformat_free_context(oc);
}

struct Page : ui::Form {
    explicit Page(ui::Runtime& rt) : ui::Form(rt) { move(0, 0, 640, 480); }
    void Form_Load() override { show(); }
};

struct Clips : ::testing::Test {
    mediatest::Loop loop;
    mediatest::TempDir dir;
    Page& page = loop.rt.load(std::make_unique<Page>(loop.rt));
    std::unique_ptr<VideoBackend> ffmpeg =
        createVideoBackend(platform::createVideoDecoder(), nullptr);
    VideoPlayer vid{page, *ffmpeg};
    int ended = 0;
    void SetUp() override {
        vid.move(200, 100, 64, 48);
        vid.onEnd = [this] { ++ended; };
    }
    ui::Color centre() { return loop.rt.frame().pixel(232, 124); }
};

TEST_F(Clips, PicturesFollowTheClockInTheControlsRectangleThenTheEndComes) {
    writeAvi(dir.file("ok.avi"), 5);
    EXPECT_EQ(aviLengthMs(dir.file("ok.avi")), 500);
    vid.fileName = dir.file("ok.avi");
    vid.play();
    EXPECT_TRUE(vid.playing());
    loop.rt.advance(50);
    EXPECT_EQ(centre(), 0u); // frame 0 is black
    loop.rt.advance(200);    // 250 ms: frame 2
    EXPECT_EQ(centre(), ui::rgb(80, 80, 80));
    // Scaled to the whole rectangle, not beyond it.
    EXPECT_EQ(loop.rt.frame().pixel(263, 147), ui::rgb(80, 80, 80));
    EXPECT_NE(loop.rt.frame().pixel(264, 148), ui::rgb(80, 80, 80));
    EXPECT_EQ(ended, 0);
    loop.rt.advance(240);
    EXPECT_EQ(ended, 0);
    loop.rt.advance(20);
    EXPECT_EQ(ended, 1);
    EXPECT_FALSE(vid.playing());
    loop.rt.advance(1000);
    EXPECT_EQ(ended, 1);
}

TEST_F(Clips, StopEndsSilentlyAndAMissingClipEndsAtOnce) {
    writeAvi(dir.file("err.avi"), 5);
    vid.fileName = dir.file("err.avi");
    vid.play();
    loop.rt.advance(100);
    vid.stop();
    loop.rt.advance(1000);
    EXPECT_EQ(ended, 0);

    vid.fileName = dir.file("none.avi");
    vid.play();
    EXPECT_EQ(ended, 0);
    loop.rt.advance(0);
    EXPECT_EQ(ended, 1);
}

TEST_F(Clips, FakeBackendPlaysForTheHeadersLength) {
    writeAvi(dir.file("ok.avi"), 8);
    FakeVideoBackend fake;
    VideoPlayer v{page, fake};
    int done = 0;
    v.onEnd = [&] { ++done; };
    v.fileName = dir.file("ok.avi");
    v.play();
    loop.rt.advance(799);
    EXPECT_EQ(done, 0);
    loop.rt.advance(1);
    EXPECT_EQ(done, 1);
    EXPECT_EQ(fake.started(), std::vector<std::string>{"ok.avi"});
}

} // namespace
