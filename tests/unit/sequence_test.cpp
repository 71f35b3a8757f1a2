#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/resource.h"
#include "shell/sequence_logic.h"

namespace {

// Records what the steps ask of the window system; pages answer from a script.
class ScriptedWizard : public WizardPort {
public:
    explicit ScriptedWizard(std::vector<intptr_t> answers) : answers_(answers) {}

    void StopStartTimer() override { log.push_back("stop-timer"); }
    void MarkStep(int32_t value) override
    {
        mask = value;
        log.push_back("mark " + std::to_string(value));
    }
    intptr_t RunPage(int32_t templateId) override
    {
        log.push_back("page " + std::to_string(templateId) + " mask " + std::to_string(mask));
        if (answers_.empty())
            return -1;
        intptr_t answer = answers_.front();
        answers_.erase(answers_.begin());
        return answer;
    }
    void Complete() override { log.push_back("complete"); }
    void End() override { log.push_back("end"); }

    std::vector<std::string> log;
    int32_t mask = 0;

private:
    std::vector<intptr_t> answers_;
};

using Log = std::vector<std::string>;

TEST(Sequence, EveryPageAnsweringOneRunsTheWholeChainThenCompletes)
{
    ScriptedWizard wizard({1, 1, 1, 1});
    RunAgreementStep(wizard);
    EXPECT_EQ(wizard.log, (Log{"stop-timer",
                               "mark 1", "page 1002 mask 1",
                               "mark 2", "page 1003 mask 2",
                               "mark 4", "page 1004 mask 4",
                               "mark 8", "page 1005 mask 8",
                               "complete"}));
}

struct StopCase {
    std::vector<intptr_t> answers;
    size_t pagesRun;
};

class SequenceStops : public ::testing::TestWithParam<StopCase> {};

TEST_P(SequenceStops, AnyAnswerButOneEndsTheProgramAtThatPage)
{
    const StopCase& c = GetParam();
    ScriptedWizard wizard(c.answers);
    RunAgreementStep(wizard);
    size_t pages = 0;
    for (const std::string& entry : wizard.log)
        pages += entry.rfind("page ", 0) == 0;
    EXPECT_EQ(pages, c.pagesRun);
    EXPECT_EQ(wizard.log.back(), "end");
    EXPECT_EQ(std::count(wizard.log.begin(), wizard.log.end(), "complete"), 0);
}

INSTANTIATE_TEST_SUITE_P(Answers, SequenceStops, ::testing::Values(
    StopCase{{0}, 1}, StopCase{{-1}, 1}, StopCase{{2}, 1},
    StopCase{{1, 0}, 2}, StopCase{{1, 1, -1}, 3}, StopCase{{1, 1, 1, 0}, 4},
    StopCase{{1, 1, 1, 256}, 4}));

} // namespace
