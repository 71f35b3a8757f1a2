#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/backdrop_logic.h"
#include "shell/drawkit_logic.h"
#include "shell/sequence_logic.h"

namespace {

TEST(Backdrop, LetteringAndPlacesFollowTheScreen)
{
    const struct {
        int width, height, titleH, titleW, taglineH, taglineW, titleX, titleY, boxY;
    } screens[] = {
        {640, 480, 48, 25, 26, 10, 160, 0, 300},
        {800, 600, 60, 33, 33, 13, 165, 5, 420},
        {1024, 768, 76, 44, 42, 17, 172, 12, 588},
    };
    char title[TitleTextSize], tagline[TaglineTextSize];
    ASSERT_EQ(FormatTitleText(title, "Pellomark", "1.01"), 15);
    ASSERT_EQ(FormatTaglineText(tagline, "Pellomark", "Software updates made easy!"), 39);
    for (const auto& c : screens) {
        LetteringSizes s = ComputeLetteringSizes(c.width, c.height, 15, 39);
        EXPECT_EQ(s.TitleHeight, c.titleH) << c.width;
        EXPECT_EQ(s.TitleWidth, c.titleW) << c.width;
        EXPECT_EQ(s.TaglineHeight, c.taglineH) << c.width;
        EXPECT_EQ(s.TaglineWidth, c.taglineW) << c.width;
        EXPECT_EQ(TitleOrigin(c.width, c.height).X, c.titleX) << c.width;
        EXPECT_EQ(TitleOrigin(c.width, c.height).Y, c.titleY) << c.width;
        EXPECT_EQ(BoxPictureOrigin(c.height).X, 15);
        EXPECT_EQ(BoxPictureOrigin(c.height).Y, c.boxY) << c.width;
        // The tagline's last layer (drawn 2 further) ends 30 from the right, 14 above the bottom.
        BackdropPoint at = TaglineOrigin(c.width, c.height, 300, 20);
        EXPECT_EQ(c.width - (at.X + 2 + 300), 30);
        EXPECT_EQ(c.height - (at.Y + 2 + 20), 14);
    }
    EXPECT_EQ(TitleOrigin(639, 479).Y, -1) << "479 / 24 truncates";
    EXPECT_EQ(FormatTitleText(title, "123456789012345678901234567890", "12345678"), -1);
}

TEST(Backdrop, OnlyTheMarkedStepIsLit)
{
    const std::pair<int32_t, std::string> cases[] = {
        {0, ""}, {1, "- License Agreement"}, {4, "- Installing Files"}, {64, "- Finished"}};
    for (const auto& [mask, label] : cases) {
        std::string lit;
        for (const StepRow& row : StepList)
            if (StepLit(mask, row))
                lit += row.Label;
        EXPECT_EQ(lit, label);
    }
}

// Pages answer from a script; the log shows the mask each page runs under.
class ScriptedWizard : public WizardPort {
public:
    explicit ScriptedWizard(std::vector<intptr_t> answers) : answers(answers) {}
    void StopStartTimer() override {}
    void MarkStep(int32_t value) override { mask = value; }
    intptr_t RunPage(int32_t id) override
    {
        log += std::to_string(id) + "/" + std::to_string(mask) + " ";
        intptr_t answer = answers.at(0);
        answers.erase(answers.begin());
        return answer;
    }
    void Complete() override { log += "complete"; }
    void End() override { log += "end"; }
    std::vector<intptr_t> answers;
    std::string log;
    int32_t mask = 0;
};

TEST(Sequence, OnlyAnAnswerOfOneGoesOnAndEachStepReplacesTheMark)
{
    const struct { std::vector<intptr_t> answers; const char* log; } cases[] = {
        {{1, 1, 1, 1}, "1002/1 1003/2 1004/4 1005/8 complete"},
        {{0}, "1002/1 end"},
        {{-1}, "1002/1 end"},
        {{2}, "1002/1 end"},
        {{1, 1, -1}, "1002/1 1003/2 1004/4 end"},
        {{1, 1, 1, 256}, "1002/1 1003/2 1004/4 1005/8 end"},
    };
    for (const auto& c : cases) {
        ScriptedWizard wizard(c.answers);
        RunAgreementStep(wizard);
        EXPECT_EQ(wizard.log, c.log);
    }
}

} // namespace
