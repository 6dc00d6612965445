#include "app/CommandLine.h"
#include "tests/support/Rows.h"

#include <gtest/gtest.h>

#include <optional>
#include <sstream>

namespace nebulo {
namespace {

using test::PrintTo;

struct TCommandLine {
    const char* Name;
    QStringList Arguments;
    std::optional<int> Status;
    const char* Answer; // the start of what is written, "" for nothing
};

class CommandLine : public ::testing::TestWithParam<TCommandLine> {};

TEST_P(CommandLine, AnswersHelpOrVersionAndLeavesTheRest)
{
    std::ostringstream Out, Err;
    const auto Status = AnswerHelpOrVersion(QStringList{"nebulo"} + GetParam().Arguments, WindowHelp, Out, Err);
    EXPECT_EQ(Status, GetParam().Status);
    EXPECT_EQ(Out.str().rfind(GetParam().Answer, 0), 0u) << Out.str();
    EXPECT_EQ(Out.str().empty(), !GetParam().Status.has_value()) << Out.str();
    EXPECT_EQ(Err.str(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Nebulo, CommandLine,
    ::testing::Values(TCommandLine{"NoArguments", {}, std::nullopt, ""},
                      TCommandLine{
                          "QtsOwnGoOn", {"-platform", "xcb", "-style", "fusion", "picture.png"}, std::nullopt, ""},
                      TCommandLine{"Help", {"--help"}, 0, "Usage: nebulo "},
                      TCommandLine{"ShortHelpAfterQtsOwn", {"-platform", "xcb", "-h"}, 0, "Usage: nebulo "},
                      TCommandLine{"Version", {"--version"}, 0, "nebulo "},
                      TCommandLine{"TheFirstIsAnswered", {"--version", "--help"}, 0, "nebulo "},
                      TCommandLine{"OnlyWholeWords", {"--helpful", "-hv", "--version=2"}, std::nullopt, ""}),
    test::RowName());

TEST(CommandLineOutput, AnUnwritableOutputFails)
{
    std::ostringstream Out, Err;
    Out.setstate(std::ios::badbit);
    EXPECT_EQ(AnswerHelpOrVersion(QStringList{"nebulo-blur", "--version"}, KeeperHelp, Out, Err), 1);
    EXPECT_EQ(Err.str(), "nebulo-keep-clipboard: cannot write to standard output\n");
}

} // namespace
} // namespace nebulo
