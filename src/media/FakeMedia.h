// Media backends for tests: they play nothing, record every command and end
// at the virtual times the real files would (lengths from the files
// themselves), through Runtime::at, so a manual clock drives them exactly.
#pragma once

#include "media/SoundPlayer.h"
#include "media/VideoBackend.h"
#include "ui/Clock.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace media {

struct MediaCommand {
    enum class Kind { Play, PlayRange, Stop, Volume, Repeat, Notify, End };
    int player = 0; // 1, 2, ... in order of creation
    Kind kind = Kind::Play;
    std::string file; // fileName as given at the time of the command
    double startMs = 0;
    double endMs = 0;
    long value = 0; // Volume: the volume; Repeat, Notify: 0 or 1
    ui::Micros time = 0;
};

class FakeMediaBackend final : public MediaBackend {
  public:
    FakeMediaBackend();
    ~FakeMediaBackend() override;
    std::unique_ptr<SoundPlayer> createPlayer(ui::Runtime& rt) override;

    // Every command of every player, oldest first. A playback that ended by
    // itself adds an End entry (not a command, but when it happened).
    const std::vector<MediaCommand>& log() const;
    void clearLog();
    // Base names of the files started (whole or range), oldest first.
    std::vector<std::string> played() const;
    // The last start (whole or range) of any player, or of one player.
    std::optional<MediaCommand> lastPlay(int player = 0) const;
    std::vector<MediaCommand> commands(MediaCommand::Kind k, int player = 0) const;
    // Whether a player is playing now (0: any player).
    bool playing(int player = 0) const;

    // Overrides the length of every file with this base name (tests of
    // timing that do not want real files).
    void setLength(const std::string& base, long ms);
    long lengthOf(const std::string& file) const;

    struct Shared;

  private:
    std::shared_ptr<Shared> sh_;
};

// Clips "play" for the length in their AVI header (1500 ms when the header
// cannot be read, nothing when the file is missing) and show a flat grey
// picture meanwhile.
class FakeVideoBackend final : public VideoBackend {
  public:
    FakeVideoBackend();
    ~FakeVideoBackend() override;
    std::unique_ptr<VideoClip> start(ui::Runtime& rt, const std::string& file, ui::Size size,
                                     std::function<void()> onFrame,
                                     std::function<void()> onEnd) override;
    // Base names of the clips started, oldest first.
    std::vector<std::string> started() const;
    // Clips started and not yet ended or stopped.
    int playingCount() const;
    static constexpr long kDefaultLengthMs = 1500;

    struct Shared;

  private:
    std::shared_ptr<Shared> sh_;
};

} // namespace media
