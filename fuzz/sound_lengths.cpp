// The WAV, MIDI and AVI readers that find lengths without a sound device,
// and the check a tune passes before it reaches the synthesizer.
#include "MemFile.h"
#include "media/SoundFile.h"
#include "media/VideoBackend.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<unsigned char> bytes(data, data + size);
    (void)media::midiLengthMs(bytes);
    (void)media::midiDamage(bytes);
    const std::string file = fuzz::asFile(data, size);
    media::WavInfo w;
    (void)media::readWavInfo(file, w);
    (void)media::soundLengthMs(file);
    (void)media::aviLengthMs(file);
    return 0;
}
