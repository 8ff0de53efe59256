// Print: the listing goes to a PDF chosen in the scripted print dialog and is read back as text.
#include <QDate>
#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include "GuiTestSupport.h"
#include "app/QtText.h"

namespace kelbo::test {
namespace {

class Print : public ShellTest {
protected:
    void printTo(const QString& pdf, bool accept = true) {
        platform_.onPrintDialog = [pdf, accept](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return accept;
        };
        trigger("mnuPrint");
    }
    static QString run(const char* program, const QStringList& arguments) {
        QProcess process;
        process.start(program, arguments);
        if (!process.waitForFinished(30000))
            return {};
        // The font's ligatures come out as one character ("fi" in a temporary folder's name).
        return QString::fromUtf8(process.readAllStandardOutput())
            .normalized(QString::NormalizationForm_KC);
    }
    void SetUp() override {
        if (!QFile::exists(KELBO_PDFTOTEXT) || !QFile::exists(KELBO_PDFINFO))
            GTEST_SKIP() << "pdftotext and pdfinfo (poppler-utils) are needed";
    }
};

TEST_F(Print, ListingHoldsHeaderSectionsAndEveryLine) {
    writeProject(path("sample.kbp"), sampleProject());
    Interface& w = start(qpath("sample.kbp"));
    printTo(qpath("listing.pdf"));
    EXPECT_EQ(platform_.printDialogs, 1);
    ASSERT_TRUE(QFile::exists(qpath("listing.pdf")));
    const QString text = run(KELBO_PDFTOTEXT, {"-layout", qpath("listing.pdf"), "-"});
    QStringList lines;
    for (const QString& line : text.split('\n'))
        if (!line.trimmed().isEmpty())
            lines << line.simplified();
    const QDate today = QDate::currentDate();
    ASSERT_GE(lines.size(), 14);
    EXPECT_EQ(lines[0], today.toString("MM-dd-yyyy"));
    EXPECT_EQ(lines[1], "File : " + qpath("sample.kbp"));
    EXPECT_EQ(lines.mid(2),
              QStringList({"[BITMAP]", "LOGO /pics/logo.bmp", "101 /pics/splash.bmp", "[ICON]",
                           "1 /pics/app.ico", "2 /pics/doc.ico", "3 /pics/tool.ico", "[STRING]",
                           "1 Hello", QString::fromUtf8("2 Caf\xC3\xA9 \xE2\x82\xAC 5"), "[WAVE]",
                           "DING /snd/ding.wav", "[CURSOR]", "[DATA]"}));
    // A TAB moves to the next tab stop: sources after short identifiers start in one column,
    // clear of their identifier.
    const QString boxes = run(KELBO_PDFTOTEXT, {"-bbox", qpath("listing.pdf"), "-"});
    const auto left = [&](const QString& word) {
        const QRegularExpression pattern("<word xMin=\"([0-9.]+)\"[^>]*xMax=\"([0-9.]+)\"[^>]*>" +
                                         QRegularExpression::escape(word) + "</word>");
        const QRegularExpressionMatch match = pattern.match(boxes);
        EXPECT_TRUE(match.hasMatch()) << word.toStdString();
        return std::pair(match.captured(1).toDouble(), match.captured(2).toDouble());
    };
    EXPECT_DOUBLE_EQ(left("/pics/logo.bmp").first, left("/pics/splash.bmp").first);
    EXPECT_DOUBLE_EQ(left("/pics/logo.bmp").first, left("/pics/app.ico").first);
    EXPECT_GT(left("/pics/splash.bmp").first, left("101").second + 3);
    // Every line, the date included, starts at the same indent.
    EXPECT_DOUBLE_EQ(left("LOGO").first, left("[BITMAP]").first);
    EXPECT_FALSE(w.session().ProjectChanged);
    EXPECT_TRUE(platform_.boxes.empty());
}

TEST_F(Print, CancelPrintsNothing) {
    start();
    printTo(qpath("cancelled.pdf"), false);
    EXPECT_EQ(platform_.printDialogs, 1);
    EXPECT_FALSE(QFile::exists(qpath("cancelled.pdf")));
}

TEST_F(Print, LongListingContinuesOnNewPages) {
    Interface& w = start();
    for (int i = 0; i < 300; ++i)
        w.session().project.append(ResourceKind::Bitmap, "B" + std::to_string(i) + "\t/b.bmp");
    printTo(qpath("long.pdf"));
    const QString info = run(KELBO_PDFINFO, {qpath("long.pdf")});
    const QRegularExpressionMatch pages = QRegularExpression("Pages:\\s+(\\d+)").match(info);
    ASSERT_TRUE(pages.hasMatch()) << info.toStdString();
    EXPECT_GE(pages.captured(1).toInt(), 3);
    // Every line made it to some page, in order.
    const QString text = run(KELBO_PDFTOTEXT, {qpath("long.pdf"), "-"});
    int last = -1;
    for (int i = 0; i < 300; ++i) {
        const int at = text.indexOf(QRegularExpression(QStringLiteral("\\bB%1\\b").arg(i)));
        ASSERT_GT(at, last) << i;
        last = at;
    }
}

} // namespace
} // namespace kelbo::test
