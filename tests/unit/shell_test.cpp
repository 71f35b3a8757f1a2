#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/backdrop_logic.h"
#include "shell/drawkit_logic.h"
#include "shell/sequence_logic.h"

namespace {

TEST(DrawKit, LetteringSizesFollowTheScreen)
{
    char title[TitleTextSize], tagline[TaglineTextSize];
    ASSERT_EQ(FormatTitleText(title, "Pellomark", "1.01"), 15);
    ASSERT_EQ(FormatTaglineText(tagline, "Pellomark", "Software updates made easy!"), 39);
    LetteringSizes s = ComputeLetteringSizes(1024, 768, 15, 39);
    EXPECT_EQ(std::vector<int>({s.TitleHeight, s.TitleWidth, s.TaglineHeight, s.TaglineWidth}),
              std::vector<int>({76, 44, 42, 17}));
    EXPECT_EQ(FormatTitleText(title, "123456789012345678901234567890", "12345678"), -1);
}

// Pages answer from a script; the log shows the mask each page runs under.
class ScriptedWizard : public WizardPort {
public:
    void StopStartTimer() override {}
    void MarkStep(int32_t value) override { mask = value; }
    intptr_t RunPage(int32_t id) override
    {
        log += std::to_string(id) + "/" + std::to_string(mask) + " ";
        return answers.at(next++);
    }
    void Complete() override { log += "complete"; }
    void End() override { log += "end"; }
    std::vector<intptr_t> answers;
    size_t next = 0;
    std::string log;
    int32_t mask = 0;
};

TEST(Sequence, OnlyAnAnswerOfOneGoesOnAndEachStepLightsItsOwnRowAlone)
{
    const std::pair<std::vector<intptr_t>, const char*> cases[] = {
        {{1, 1, 1, 1}, "1002/1 1003/2 1004/4 1005/8 complete"},
        {{2}, "1002/1 end"},
        {{1, 1, -1}, "1002/1 1003/2 1004/4 end"},
        {{1, 1, 1, 256}, "1002/1 1003/2 1004/4 1005/8 end"},
    };
    for (const auto& [answers, log] : cases) {
        ScriptedWizard wizard;
        wizard.answers = answers;
        RunAgreementStep(wizard);
        EXPECT_EQ(wizard.log, log);
    }
    for (const StepRow& row : StepList)
        EXPECT_EQ(std::make_pair(StepLit(row.Bit, row), StepLit(~row.Bit, row)),
                  std::make_pair(true, false))
            << row.Label;
}

}  // namespace
