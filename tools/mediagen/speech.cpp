#include "speech.h"

#include "book_io.h"

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <map>
#include <stdexcept>
#include <thread>

namespace mediagen {

namespace {

// Items of one batch are parted by a break far longer than any pause inside
// an item (a comma gives about 0.3 s), so the batch can be cut apart again.
constexpr int kBreakMs = 1200;
constexpr double kCutSeconds = 0.7;
constexpr float kQuiet = 0.002f;

bool runEspeak(const std::filesystem::path& textFile, const std::filesystem::path& wav, int wpm,
               bool ssml) {
    const std::string cmd = std::string("espeak-ng ") + (ssml ? "-m " : "") + "-v " + kVoice +
                            " -s " + std::to_string(wpm) + " -w '" + wav.string() + "' -f '" +
                            textFile.string() + "' 2>/dev/null";
    return std::system(cmd.c_str()) == 0;
}

// The sounding stretches of `w` between silences of at least kCutSeconds.
std::vector<Wave> cutAtSilences(const Wave& w) {
    std::vector<Wave> parts;
    const size_t minGap = Wave::frames(kCutSeconds);
    size_t i = 0;
    const size_t n = w.s.size();
    while (i < n) {
        while (i < n && std::fabs(w.s[i]) < kQuiet)
            ++i;
        if (i >= n)
            break;
        const size_t start = i;
        size_t quietRun = 0;
        while (i < n && quietRun < minGap) {
            quietRun = std::fabs(w.s[i]) < kQuiet ? quietRun + 1 : 0;
            ++i;
        }
        Wave part;
        part.s.assign(w.s.begin() + static_cast<long>(start),
                      w.s.begin() + static_cast<long>(i - quietRun));
        parts.push_back(std::move(part));
    }
    return parts;
}

} // namespace

bool isPinyinText(const std::string& text) {
    if (text.empty())
        return false;
    for (char c : text)
        if (!((c >= 'a' && c <= 'z') || (c >= '1' && c <= '5') || c == ' ' || c == ',' || c == '.'))
            return false;
    return true;
}

std::vector<Wave> speak(const std::vector<SpeechJob>& jobs, const std::filesystem::path& scratch) {
    for (const auto& j : jobs)
        if (!isPinyinText(j.pinyin))
            throw std::runtime_error("not pinyin: \"" + j.pinyin + "\"");

    // One espeak-ng run per batch instead of one per item: starting the
    // synthesiser costs more than speaking a syllable. Each speed is split
    // in two batches, one for each worker.
    std::map<int, std::vector<size_t>> bySpeed;
    for (size_t i = 0; i < jobs.size(); ++i)
        bySpeed[jobs[i].wordsPerMinute].push_back(i);
    std::vector<std::vector<size_t>> batches;
    for (const auto& [speed, items] : bySpeed) {
        const size_t half = (items.size() + 1) / 2;
        batches.emplace_back(items.begin(), items.begin() + static_cast<long>(half));
        if (half < items.size())
            batches.emplace_back(items.begin() + static_cast<long>(half), items.end());
    }

    std::vector<Wave> out(jobs.size());
    std::vector<std::string> errors(batches.size());
    std::atomic<size_t> next{0};
    auto one = [&](size_t job, const std::string& tag) {
        const auto txt = scratch / (tag + ".txt");
        const auto wav = scratch / (tag + ".wav");
        writeFileAtomic(txt, jobs[job].pinyin + ".\n");
        if (!runEspeak(txt, wav, jobs[job].wordsPerMinute, false))
            throw std::runtime_error("espeak-ng failed on \"" + jobs[job].pinyin + "\"");
        Wave w = readWav(wav);
        lowPass(w, 6500);
        out[job] = trimSilence(w);
    };
    auto worker = [&] {
        for (size_t b; (b = next++) < batches.size();) {
            try {
                const auto& items = batches[b];
                const std::string tag = "batch" + std::to_string(b);
                std::string ssml = "<speak>";
                for (size_t i : items)
                    ssml +=
                        jobs[i].pinyin + ".<break time=\"" + std::to_string(kBreakMs) + "ms\"/>\n";
                ssml += "</speak>\n";
                writeFileAtomic(scratch / (tag + ".txt"), ssml);
                std::vector<Wave> parts;
                if (runEspeak(scratch / (tag + ".txt"), scratch / (tag + ".wav"),
                              jobs[items.front()].wordsPerMinute, true)) {
                    Wave w = readWav(scratch / (tag + ".wav"));
                    lowPass(w, 6500);
                    parts = cutAtSilences(w);
                }
                if (parts.size() == items.size()) {
                    for (size_t k = 0; k < items.size(); ++k)
                        out[items[k]] = trimSilence(parts[k]);
                } else {
                    // The batch did not cut cleanly: speak its items one by one.
                    for (size_t k = 0; k < items.size(); ++k)
                        one(items[k], tag + "-" + std::to_string(k));
                }
            } catch (const std::exception& e) {
                errors[b] = e.what();
            }
        }
    };
    std::thread a(worker), c(worker);
    a.join();
    c.join();
    for (const auto& e : errors)
        if (!e.empty())
            throw std::runtime_error(e);
    return out;
}

} // namespace mediagen
