// Reading what the players need from sound files without a sound device:
// lengths of WAV and MIDI files and the samples of a WAV file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace media {

// The program's paths use "\" and "/" alike.
std::string soundPath(std::string_view path);

// The file name after the last separator.
std::string baseName(std::string_view path);

struct WavInfo {
    enum Format { Pcm, ImaAdpcm };
    Format format = Pcm;
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
    int blockAlign = 0; // PCM: bytes per sample frame; ADPCM: bytes per block
    int samplesPerBlock = 1;
    std::uint32_t byteRate = 0;
    std::uint64_t dataOffset = 0;
    std::uint64_t dataBytes = 0; // clamped to what the file holds, whole blocks
    std::uint64_t frames = 0;    // sample frames
    double lengthMs() const { return sampleRate ? double(frames) * 1000.0 / sampleRate : 0.0; }
};

// False when the file is missing or neither a PCM nor an IMA ADPCM WAV file.
bool readWavInfo(const std::string& path, WavInfo& out);

// Length in milliseconds of a standard MIDI file, from its tempo map; 0 when
// missing or malformed.
long midiLengthMs(const std::string& path);
long midiLengthMs(const std::vector<unsigned char>& bytes);

// Why the synthesizer must not be given a MIDI file: a chunk that claims
// more bytes than the file holds, a chunk name that is not text, fewer
// tracks than the header announces. Empty when the chunks fit the file.
std::string midiDamage(const std::vector<unsigned char>& bytes);
std::string midiDamage(const std::string& path);

// Length of a WAV or MIDI file in milliseconds (by content, not by name); 0
// when missing or unreadable.
long soundLengthMs(const std::string& path);

} // namespace media
