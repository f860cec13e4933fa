#include "speech.h"

#include <atomic>
#include <cstdlib>
#include <stdexcept>
#include <thread>

namespace mediagen {

namespace {

// A higher voice than the default, friendlier for children.
constexpr const char* kVoice = "cmn-latn-pinyin+f2";

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
    std::vector<Wave> out(jobs.size());
    std::vector<std::string> errors(jobs.size());
    std::atomic<size_t> next{0};
    auto worker = [&] {
        for (size_t i; (i = next++) < jobs.size();) {
            const auto file = scratch / ("speech" + std::to_string(i) + ".wav");
            // The text is checked above to hold only letters, digits, blanks
            // and stops, so quoting it is safe.
            const std::string cmd = std::string("espeak-ng -v ") + kVoice + " -s " +
                                    std::to_string(jobs[i].wordsPerMinute) + " -w '" +
                                    file.string() + "' '" + jobs[i].pinyin + "' 2>/dev/null";
            if (std::system(cmd.c_str()) != 0) {
                errors[i] = "espeak-ng failed on \"" + jobs[i].pinyin + "\"";
                continue;
            }
            try {
                Wave w = readWav(file);
                lowPass(w, 6500);
                out[i] = trimSilence(w);
                std::filesystem::remove(file);
            } catch (const std::exception& e) {
                errors[i] = e.what();
            }
        }
    };
    std::thread a(worker), b(worker);
    a.join();
    b.join();
    for (const auto& e : errors)
        if (!e.empty())
            throw std::runtime_error(e);
    return out;
}

} // namespace mediagen
