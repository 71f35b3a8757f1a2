#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/backdrop_logic.h"
#include "shell/drawkit_logic.h"
#include "shell/sequence_logic.h"

namespace {

TEST(DrawKit, LetteringSizesFollowTheScreen)
{
    const struct {
        int width, height, titleH, titleW, taglineH, taglineW;
    } screens[] = {{640, 480, 48, 25, 26, 10}, {1024, 768, 76, 44, 42, 17}};
    char title[TitleTextSize], tagline[TaglineTextSize];
    ASSERT_EQ(FormatTitleText(title, "Pellomark", "1.01"), 15);
    ASSERT_EQ(FormatTaglineText(tagline, "Pellomark", "Software updates made easy!"), 39);
    for (const auto& c : screens) {
        LetteringSizes s = ComputeLetteringSizes(c.width, c.height, 15, 39);
        EXPECT_EQ(std::vector<int>({s.TitleHeight, s.TitleWidth, s.TaglineHeight, s.TaglineWidth}),
                  std::vector<int>({c.titleH, c.titleW, c.taglineH, c.taglineW}))
            << c.width;
    }
    EXPECT_EQ(FormatTitleText(title, "123456789012345678901234567890", "12345678"), -1);
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

TEST(Sequence, OnlyAnAnswerOfOneGoesOnAndEachStepLightsItsOwnRowAlone)
{
    const struct {
        std::vector<intptr_t> answers;
        const char* log;
    } cases[] = {
        {{1, 1, 1, 1}, "1002/1 1003/2 1004/4 1005/8 complete"},
        {{2}, "1002/1 end"},
        {{1, 1, -1}, "1002/1 1003/2 1004/4 end"},
        {{1, 1, 1, 256}, "1002/1 1003/2 1004/4 1005/8 end"},
    };
    for (const auto& c : cases) {
        ScriptedWizard wizard(c.answers);
        RunAgreementStep(wizard);
        EXPECT_EQ(wizard.log, c.log);
    }
    for (const StepRow& row : StepList) {
        EXPECT_TRUE(StepLit(row.Bit, row)) << row.Label;
        EXPECT_FALSE(StepLit(~row.Bit, row)) << row.Label;
    }
}

}  // namespace
