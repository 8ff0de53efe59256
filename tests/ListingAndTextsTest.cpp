#include <gtest/gtest.h>

#include "messages/ErrorCodes.h"
#include "messages/HelpTopics.h"
#include "project/Listing.h"
#include "rescompiler/CompileLog.h"

namespace kelbo {
namespace {

const std::string kIndent(16, ' ');

TEST(Listing, EmptyUntitledProject) {
    std::vector<std::string> lines = listingLines(Project{}, "", "12-09-2026");
    std::vector<std::string> expected(4, kIndent);
    expected.push_back(kIndent + "12-09-2026");
    expected.push_back(kIndent + "File : ");
    expected.push_back(kIndent);
    expected.push_back(kIndent);
    for (const char* heading : {"[BITMAP]", "[ICON]", "[STRING]", "[WAVE]", "[CURSOR]", "[DATA]"}) {
        expected.push_back(kIndent + heading);
        expected.push_back(kIndent);
        expected.push_back(kIndent);
    }
    EXPECT_EQ(lines, expected);
}

TEST(Listing, SectionsHoldTheLinesInOrderWithTheirTabs) {
    Project p;
    p.append(ResourceKind::String, "3\tc");
    p.append(ResourceKind::String, "1\ta");
    p.append(ResourceKind::String, "2\tb\tb");
    std::vector<std::string> lines = listingLines(p, "/w/p.kbp", "01-02-2003");
    EXPECT_EQ(lines[5], kIndent + "File : /w/p.kbp");
    auto heading = std::find(lines.begin(), lines.end(), kIndent + "[STRING]");
    ASSERT_NE(heading, lines.end());
    EXPECT_EQ(std::vector<std::string>(heading + 1, heading + 6),
              (std::vector<std::string>{kIndent, kIndent + "3\tc", kIndent + "1\ta",
                                        kIndent + "2\tb\tb", kIndent}));
    EXPECT_EQ(PrintList(p.base(), ResourceKind::Icon), std::vector<std::string>{kIndent});
    // The manifest and the version information get a section only when the project has them.
    EXPECT_EQ(std::find(lines.begin(), lines.end(), kIndent + "[MANIFEST]"), lines.end());
    p.append(ResourceKind::Version, "FileVersion=1.2");
    lines = listingLines(p, "/w/p.kbp", "01-02-2003");
    heading = std::find(lines.begin(), lines.end(), kIndent + "[VERSION]");
    ASSERT_NE(heading, lines.end());
    EXPECT_EQ(*(heading + 2), kIndent + "FileVersion=1.2");
    EXPECT_EQ(std::find(lines.begin(), lines.end(), kIndent + "[DATA]") + 3, heading);
}

TEST(Listing, EachLanguageIsPrintedUnderItsHeadingInTheProjectsOrder) {
    Project p;
    p.append(ResourceKind::String, "1\tHello");
    p.section(p.addSection(0x0419))
        .append(ResourceKind::String, "1\t\u041F\u0440\u0438\u0432\u0435\u0442");
    p.section(p.addSection(0x0C1B)).append(ResourceKind::Version, "CompanyName=\u4E2D");
    std::vector<std::string> lines = listingLines(p, "", "01-02-2003");
    std::vector<std::string> headings;
    for (const std::string& line : lines)
        if (line.find("LANGUAGE ") != std::string::npos)
            headings.push_back(line);
    EXPECT_EQ(headings, (std::vector<std::string>{kIndent + "LANGUAGE 0000  Neutral  (base)",
                                                  kIndent + "LANGUAGE 0419  Russian (Russia)",
                                                  kIndent + "LANGUAGE 0C1B"}));
    auto russian = std::find(lines.begin(), lines.end(), headings[1]);
    EXPECT_EQ(*(russian + 2), kIndent + "[BITMAP]");
    EXPECT_NE(std::find(russian, lines.end(), kIndent + "1\t\u041F\u0440\u0438\u0432\u0435\u0442"),
              lines.end());
    // A section's version lines print with that section only.
    auto version = std::find(lines.begin(), lines.end(), kIndent + "[VERSION]");
    EXPECT_GT(version, std::find(lines.begin(), lines.end(), headings[2]));
    EXPECT_EQ(*(version + 2), kIndent + "CompanyName=\u4E2D");

    // A base in another language is a heading too; one neutral section never is.
    Project english;
    english.setBaseLanguage(0x0409);
    EXPECT_EQ(listingLines(english, "", "x")[8],
              kIndent + "LANGUAGE 0409  English (United States)  (base)");
    EXPECT_EQ(listingLines(Project{}, "", "x")[8], kIndent + "[BITMAP]");
}

TEST(Listing, DateIsMonthDayYear) {
    EXPECT_EQ(listingDate(2026, 12, 9), "12-09-2026");
    EXPECT_EQ(listingDate(999, 1, 31), "01-31-0999");
}

TEST(ErrorCodes, MessagesAndTitles) {
    EXPECT_EQ(errorMessage(5), "Identificator > 32767");
    EXPECT_EQ(errorTitle(5), "ERROR 5");
    EXPECT_EQ(errorMessage(6), "Invalid KBP-file");
    EXPECT_EQ(errorMessage(1), "No Item selected");
    EXPECT_EQ(errorMessage(7), "Nothing to compile");
    EXPECT_EQ(errorMessage(0), "");
}

std::vector<std::string> topicLines(const std::string& text) {
    CompileLog split;
    split.setText(text);
    return split.lines();
}

TEST(HelpTopics, LabelsCaptionsAndShapes) {
    const auto& topics = helpTopics();
    const char* labels[] = {"Introduction", "BITMAP", "ICON",
                            "STRING",       "WAVE",   "Sample Wave-resource"};
    const char* captions[] = {"  INTRODUCTION", " BITMAP", " ICON",
                              " STRING",        " WAVE",   "  Sample WAVE"};
    // Lines, counting the empty ones that two closing line ends leave.
    const std::size_t lineCounts[] = {21, 15 + 2, 15 + 2, 8 + 2, 7 + 2, 22};
    for (int i = 0; i < 6; ++i) {
        EXPECT_STREQ(topics[i].label, labels[i]);
        EXPECT_STREQ(topics[i].caption, captions[i]);
        EXPECT_EQ(topicLines(topics[i].text).size(), lineCounts[i]) << labels[i];
    }
    EXPECT_EQ(topicLines(topics[0].text).back(), "project.");
    EXPECT_EQ(topicLines(topics[5].text).back(),
              "(4) is a flag (SoundName points to a memory file)");
    EXPECT_EQ(topics[4].text.substr(topics[4].text.size() - 4), "\r\n\r\n");
}

TEST(HelpTopics, BitmapAndIconDifferOnlyInKindAndSampleArgument) {
    std::string bitmap = helpTopics()[1].text;
    std::string icon = helpTopics()[2].text;
    EXPECT_EQ(bitmap.rfind("BITMAP Identificator : String or Number", 0), 0u);
    EXPECT_NE(bitmap.find("Picture1.picture = LoadResPicture (\"The Test\",0)"), std::string::npos);
    std::string replaced = bitmap;
    replaced.replace(0, 6, "ICON");
    for (std::size_t at = 0; (at = replaced.find(",0)", at)) != std::string::npos; ++at)
        replaced[at + 1] = '1';
    EXPECT_EQ(replaced, icon);
    EXPECT_NE(helpTopics()[3].text.find("only a Number"), std::string::npos);
}

} // namespace
} // namespace kelbo
