#include "media/SoundFile.h"

#include "text/Text.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>

namespace media {

namespace {

std::uint32_t le32(const unsigned char* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}
std::uint16_t le16(const unsigned char* p) {
    return std::uint16_t(p[0] | p[1] << 8);
}
std::uint32_t be32(const unsigned char* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 |
           std::uint32_t(p[3]);
}
std::uint16_t be16(const unsigned char* p) {
    return std::uint16_t(p[0] << 8 | p[1]);
}

// Tunes are a few kilobytes; a far larger "MIDI" file is not one.
constexpr std::streamoff kMaxMidiBytes = 16 << 20;

bool readAll(const std::string& path, std::vector<unsigned char>& out) {
    std::ifstream f(path, std::ios::binary | std::ios::ate);
    if (!f)
        return false;
    const std::streamoff len = f.tellg();
    if (len < 0 || len > kMaxMidiBytes)
        return false;
    out.resize(std::size_t(len));
    f.seekg(0);
    return bool(f.read(reinterpret_cast<char*>(out.data()), len));
}

} // namespace

std::string soundPath(std::string_view path) {
    return text::nativePath(path);
}

std::string baseName(std::string_view path) {
    const auto pos = path.find_last_of("/\\");
    return std::string(pos == std::string_view::npos ? path : path.substr(pos + 1));
}

bool readWavInfo(const std::string& path, WavInfo& out) {
    std::ifstream f(soundPath(path), std::ios::binary);
    if (!f)
        return false;
    unsigned char head[12];
    if (!f.read(reinterpret_cast<char*>(head), 12) || std::string_view((char*)head, 4) != "RIFF" ||
        std::string_view((char*)head + 8, 4) != "WAVE")
        return false;
    f.seekg(0, std::ios::end);
    const std::uint64_t fileSize = std::uint64_t(f.tellg());
    std::uint64_t pos = 12;
    WavInfo w;
    bool haveFmt = false;
    std::uint64_t factFrames = 0;
    bool haveFact = false;
    while (pos + 8 <= fileSize) {
        f.seekg(std::streamoff(pos));
        unsigned char ch[8];
        if (!f.read(reinterpret_cast<char*>(ch), 8))
            return false;
        const std::string_view id((char*)ch, 4);
        const std::uint64_t size = le32(ch + 4);
        if (id == "fmt ") {
            unsigned char fmt[16];
            if (size < 16 || !f.read(reinterpret_cast<char*>(fmt), 16))
                return false;
            const int tag = le16(fmt);
            if (tag != 1 && tag != 0xFFFE && tag != 0x11)
                return false;
            w.format = tag == 0x11 ? WavInfo::ImaAdpcm : WavInfo::Pcm;
            w.channels = le16(fmt + 2);
            w.sampleRate = int(le32(fmt + 4));
            w.byteRate = le32(fmt + 8);
            w.blockAlign = le16(fmt + 12);
            w.bitsPerSample = le16(fmt + 14);
            haveFmt = w.channels > 0 && w.blockAlign > 0 && w.byteRate > 0 && w.sampleRate > 0;
            if (w.format == WavInfo::ImaAdpcm) {
                // 4 header bytes per channel, then two samples a byte; the
                // header's own sample counts too.
                unsigned char ext[4];
                const int perChannel = w.blockAlign / std::max(w.channels, 1) - 4;
                if (size < 20 || !f.read(reinterpret_cast<char*>(ext), 4) || perChannel < 1 ||
                    w.bitsPerSample != 4 || le16(ext + 2) != perChannel * 2 + 1)
                    return false;
                w.samplesPerBlock = le16(ext + 2);
            }
        } else if (id == "fact" && size >= 4) {
            unsigned char n[4];
            if (!f.read(reinterpret_cast<char*>(n), 4))
                return false;
            factFrames = le32(n);
            haveFact = true;
        } else if (id == "data") {
            if (!haveFmt)
                return false;
            w.dataOffset = pos + 8;
            w.dataBytes = std::min(size, fileSize - w.dataOffset);
            w.dataBytes -= w.dataBytes % std::uint64_t(w.blockAlign);
            w.frames = w.dataBytes / std::uint64_t(w.blockAlign) * std::uint64_t(w.samplesPerBlock);
            // The fact chunk tells how much of the last block is sound.
            if (w.format == WavInfo::ImaAdpcm && haveFact)
                w.frames = std::min(w.frames, factFrames);
            out = w;
            return true;
        }
        pos += 8 + size + (size & 1);
    }
    return false;
}

std::string midiDamage(const std::vector<unsigned char>& b) {
    if (b.size() < 14 || std::string_view((const char*)b.data(), 4) != "MThd")
        return "not a MIDI file";
    const std::uint64_t headLen = be32(b.data() + 4);
    const int tracks = be16(b.data() + 10);
    if (headLen < 6 || headLen > b.size() - 8)
        return "its header claims " + std::to_string(headLen) + " bytes";
    if (tracks == 0)
        return "it holds no tracks";
    int found = 0;
    std::uint64_t pos = 8 + headLen;
    // A few stray bytes after the last chunk are harmless; a chunk is not.
    while (b.size() - pos >= 8) {
        const unsigned char* c = b.data() + pos;
        if (!std::all_of(c, c + 4, [](unsigned char ch) { return ch >= 0x20 && ch < 0x7F; }))
            return "the chunk at byte " + std::to_string(pos) + " has no name";
        const std::uint64_t len = be32(c + 4);
        const std::uint64_t left = b.size() - pos - 8;
        if (len > left)
            return "a chunk claims " + std::to_string(len) + " bytes where the file has " +
                   std::to_string(left) + " left";
        if (std::string_view((const char*)c, 4) == "MTrk")
            ++found;
        pos += 8 + len;
    }
    if (found < tracks)
        return "it holds " + std::to_string(found) + " of the " + std::to_string(tracks) +
               " tracks its header announces";
    return {};
}

std::string midiDamage(const std::string& path) {
    std::vector<unsigned char> b;
    if (!readAll(soundPath(path), b))
        return "missing or unreadable";
    return midiDamage(b);
}

long midiLengthMs(const std::string& path) {
    std::vector<unsigned char> b;
    if (!readAll(soundPath(path), b))
        return 0;
    return midiLengthMs(b);
}

long midiLengthMs(const std::vector<unsigned char>& b) {
    if (b.size() < 14 || std::string_view((const char*)b.data(), 4) != "MThd")
        return 0;
    const std::size_t headLen = be32(b.data() + 4);
    const int tracks = be16(b.data() + 10);
    const std::uint16_t division = be16(b.data() + 12);
    std::map<std::uint64_t, std::uint32_t> tempos; // tick -> microseconds per quarter
    std::uint64_t lastTick = 0;
    std::size_t pos = 8 + headLen;
    for (int t = 0; t < tracks && pos + 8 <= b.size(); ++t) {
        const std::size_t len = be32(b.data() + pos + 4);
        const bool isTrack = std::string_view((char*)b.data() + pos, 4) == "MTrk";
        std::size_t p = pos + 8;
        const std::size_t end = std::min(b.size(), p + len);
        pos = p + len;
        if (!isTrack)
            continue;
        std::uint64_t tick = 0;
        unsigned char status = 0;
        auto vlq = [&](std::uint64_t& v) {
            v = 0;
            for (int i = 0; i < 4 && p < end; ++i) {
                const unsigned char c = b[p++];
                v = v << 7 | (c & 0x7F);
                if (!(c & 0x80))
                    return true;
            }
            return false;
        };
        while (p < end) {
            std::uint64_t delta;
            if (!vlq(delta))
                break;
            tick += delta;
            if (p >= end)
                break;
            unsigned char c = b[p];
            if (c & 0x80) {
                ++p;
                if (c < 0xF0)
                    status = c;
            } else {
                c = status;
            }
            if (c == 0xFF) {
                if (p >= end)
                    break;
                const unsigned char type = b[p++];
                std::uint64_t n;
                if (!vlq(n) || p + n > end)
                    break;
                if (type == 0x51 && n == 3)
                    tempos[tick] = std::uint32_t(b[p] << 16 | b[p + 1] << 8 | b[p + 2]);
                p += n;
                if (type == 0x2F)
                    break;
            } else if (c == 0xF0 || c == 0xF7) {
                std::uint64_t n;
                if (!vlq(n) || p + n > end)
                    break;
                p += n;
            } else if (c >= 0x80) {
                const int hi = c & 0xF0;
                p += (hi == 0xC0 || hi == 0xD0) ? 1 : 2;
            } else {
                break; // data byte without a running status
            }
        }
        lastTick = std::max(lastTick, tick);
    }
    double ms;
    if (division & 0x8000) {
        const int fps = -static_cast<std::int8_t>(division >> 8);
        const int perFrame = division & 0xFF;
        if (fps <= 0 || perFrame == 0)
            return 0;
        ms = double(lastTick) * 1000.0 / (fps * perFrame);
    } else {
        if (division == 0)
            return 0;
        ms = 0;
        std::uint64_t at = 0;
        std::uint32_t tempo = 500000;
        for (const auto& [tick, us] : tempos) {
            if (tick >= lastTick)
                break;
            ms += double(tick - at) * tempo / division / 1000.0;
            at = tick;
            tempo = us;
        }
        ms += double(lastTick - at) * tempo / division / 1000.0;
    }
    return long(std::lround(ms));
}

long soundLengthMs(const std::string& path) {
    WavInfo w;
    if (readWavInfo(path, w))
        return long(std::lround(w.lengthMs()));
    return midiLengthMs(path);
}

} // namespace media

#include "media/VideoBackend.h"

namespace media {

long aviLengthMs(const std::string& path) {
    std::ifstream f(soundPath(path), std::ios::binary);
    if (!f)
        return 0;
    std::vector<unsigned char> head(4096);
    f.read(reinterpret_cast<char*>(head.data()), std::streamsize(head.size()));
    head.resize(std::size_t(f.gcount()));
    if (head.size() < 12 || std::string_view((char*)head.data(), 4) != "RIFF" ||
        std::string_view((char*)head.data() + 8, 4) != "AVI ")
        return 0;
    const std::string_view all((char*)head.data(), head.size());
    const auto at = all.find("avih");
    if (at == std::string_view::npos || at + 8 + 20 > head.size())
        return 0;
    const unsigned char* h = head.data() + at + 8;
    const double usPerFrame = le32(h);
    const double frames = le32(h + 16);
    return long(std::lround(usPerFrame * frames / 1000.0));
}

} // namespace media
