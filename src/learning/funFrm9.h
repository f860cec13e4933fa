// The listening test (menu function 10): the verse's characters in a shuffled
// grid; the page speaks one and the child clicks it. Stopped, answers get a
// right or wrong cue; running, they are counted, answered with a clip and
// shown on a score panel. Two arrows step to the previous or next verse.
#pragma once

#include "learning/LearningPage.h"
#include "media/VideoPlayer.h"

#include <array>
#include <string>

namespace learning {

class funFrm9 : public LearningPage {
  public:
    explicit funFrm9(core::App& app);

    ui::ControlArray<ui::Image> butnImg; // 0 previous verse, 1 next, 2 start/pause
    media::VideoPlayer FXVid1;           // the answer clips, over the score panel
    ui::Timer currorTimer;               // pointer upkeep

    void Timer1_Timer() override;
    void Timer2_Timer() override;
    void currorTimer_Timer();
    void wordLbl_Click(int c);
    void wordLbl_MouseMove(int c);
    void Form_MouseMove(int button, int shift, int x, int y) override;
    void butnImg_Click(int index);
    void FXVid1_End();

    // What the tests look at.
    const Seq14& layout() const { return layout_; }
    int askedLabel() const { return asked_; }
    bool awaitingAnswer() const { return awaiting_; }
    bool testRunning() const { return running_; }
    bool panelShown() const { return panelShown_; }
    float rightCount() const { return right_; }
    float wrongCount() const { return wrong_; }
    float missedCount() const { return missed_; }
    // The character grid label `i` shows (1..14).
    const std::string& labelCharacter(int i) const {
        return chars_[std::size_t(layout_[std::size_t(i)])];
    }

  protected:
    void buildPage() override;
    void drawBox() override;

  private:
    // New layout, labels rewritten.
    void shuffleLabels();
    // The next label to ask: the layout walked in order.
    std::int16_t GetWordNum();
    void showScores();
    void updatePercentage();
    void playOk();
    void playErr();
    void playClip(const std::string& file);
    // Whether grid label `c` shows the character of the asked label.
    bool showsAsked(int c) const;
    void setVerseCharacters();
    void stepVerse(int delta);

    std::array<std::string, 15> chars_; // characters of the verse, 1..14
    Seq14 layout_{};
    std::int16_t questionPos_ = 0;
    std::int16_t asked_ = 1;
    std::int16_t sinceShuffle_ = 0;
    std::int16_t step_ = 0;
    bool awaiting_ = false;
    std::int16_t answer_ = -1; // -1 none, 1 right, 2 wrong
    std::int16_t blinkCount_ = 0;
    bool running_ = false;
    bool panelShown_ = false;
    float right_ = 0, wrong_ = 0, missed_ = 0;
    bool clipPlaying_ = false;
};

} // namespace learning
