#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <vector>

#include "help/frmAbout.h"
#include "help/frmHelp.h"
#include "help/frmsubhelp.h"
#include "tests/gui/ScriptedPlatform.h"
#include "tests/gui/dialogs/DialogTestSupport.h"

namespace kelbo::test {
namespace {

QString joinLines(const std::vector<const char*>& lines, bool trailingBlankLine) {
    QString text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            text += "\r\n";
        text += QString::fromLatin1(lines[i]);
    }
    return trailingBlankLine ? text + "\r\n\r\n" : text;
}

QString fileKindText(const char* kind, const char* arg) {
    const QString k = QString::fromLatin1(kind), a = QString::fromLatin1(arg);
    const std::string first = (k + " Identificator : String or Number").toStdString();
    const std::string s1 = ("Picture1.picture = LoadResPicture (100," + a + ")").toStdString();
    const std::string s2 = ("Picture1.picture = LoadResPicture (\"test\"," + a + ")").toStdString();
    const std::string s3 =
        ("Picture1.picture = LoadResPicture (\"The Test\"," + a + ")").toStdString();
    return joinLines(
        {first.c_str(), "", "If Identificator is a number, it must be a positive",
         "integer (<32767)", "", "If identificator is a string : 32 characters maximum",
         "(spaces are accepted)", "", "Samples :", "", s1.c_str(), "", s2.c_str(), "", s3.c_str()},
        true);
}

struct ExpectedTopic {
    QString label, caption, text;
};

std::vector<ExpectedTopic> expectedTopics() {
    return {
        {"Introduction", "  INTRODUCTION",
         joinLines({"Kelbo is a Resource compiler. It is a standalone program",
                    "No need of RC.EXE or BRC.EXE",
                    "",
                    "Kelbo accepts BITPMAP, ICON, STRING and WAVE resources.",
                    "It can create Res-file in 16 bits-Mode or in 32 bits-Mode.",
                    "",
                    "To create a resource file",
                    "",
                    "1) Create a resource source file (*.KBP) that contains all the",
                    "    string resources of your application :",
                    "   Select the tab of the resource and click on the Add-Button.",
                    "   Select a resource and specify an identificator.",
                    "2) Save the KBP-file.",
                    "3) Compile in 16 or 32 bits Mode.",
                    "4) Add the RES-file to your Visual Basic project.",
                    "",
                    "WARNING :",
                    "Visual Basic uses locking on the RES-file to prevent problems with",
                    "multiple applications trying to use the file at the same time.",
                    "Before modifying the Res-file, you must close your Visual Basic",
                    "project."},
                   false)},
        {"BITMAP", " BITMAP", fileKindText("BITMAP", "0")},
        {"ICON", " ICON", fileKindText("ICON", "1")},
        {"STRING", " STRING",
         joinLines({"STRING Identificator : only a Number", "",
                    "The identificator must be a positive", "integer (<32767)", "", "Samples :", "",
                    "Text1.Text = LoadResString (100)"},
                   true)},
        {"WAVE", " WAVE",
         joinLines({"WAVE Identificator : String or Number", "",
                    "If Identificator is a number, it must be a positive", "integer (<32767)", "",
                    "If identificator is a string : 32 characters maximum",
                    "(spaces are accepted)"},
                   true)},
        {"Sample Wave-resource", "  Sample WAVE",
         joinLines({"In a Module.bas place the following declaration :",
                    "",
                    "In 16 bits Mode :",
                    "",
                    "Declare Function sndPlaySound Lib \"MMSYSTEM\" _",
                    "       (SoundName As Any, ByVal Flag%) As Integer",
                    "",
                    "In 32 bits Mode :",
                    "",
                    "Declare Function sndPlaySound Lib \"winmm\" Alias \"sndPlaySoundA\" _",
                    "       (SoundName As Any, Byval Flags As Long) As Long",
                    "",
                    "In the code of a button, place this code :",
                    "",
                    "Sub Command1_click",
                    "   Dim bSound() As Byte",
                    "   bSound = LoadResData (100,\"WAVE\")",
                    "   R = sndPlaySound (bSound(0), 4)",
                    "End Sub",
                    "",
                    "(100) is the Wave-Identificator",
                    "(4) is a flag (SoundName points to a memory file)"},
                   false)},
    };
}

TEST(HelpIndex, ShowsEveryTopicLinkStyledAndAnExitButton) {
    ScriptedPlatform platform;
    frmHelp index(platform);
    index.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&index));
    EXPECT_EQ(index.windowTitle(), "KELBO  Version 2");
    EXPECT_EQ(index.palette().color(QPalette::Window), QColor(Qt::white));

    QStringList labels;
    for (const ExpectedTopic& topic : expectedTopics())
        labels << topic.label;
    labels << "CURSOR"
           << "DATA"
           << "Project menu"
           << "Languages"
           << "Compile into Program";
    ASSERT_EQ(labels.size(), shell::HelpPresenter::kTopicCount);
    int previousBottom = -1;
    for (int i = 0; i < labels.size(); ++i) {
        const QByteArray name = "Label" + QByteArray::number(i + 1);
        auto* label = control<QLabel>(&index, name.constData());
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), labels[i]);
        EXPECT_TRUE(label->font().bold());
        EXPECT_TRUE(label->font().underline());
        EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(0, 0, 0xC0));
        EXPECT_EQ(label->focusPolicy(), Qt::NoFocus);
        // One under the other, none on the next, all inside the window.
        EXPECT_GT(label->y(), previousBottom);
        EXPECT_TRUE(index.rect().contains(label->geometry())) << name.constData();
        previousBottom = label->geometry().bottom();
    }
    auto* exit = control<QPushButton>(&index, "Command1");
    EXPECT_GT(exit->y(), previousBottom);
    EXPECT_TRUE(index.rect().contains(exit->geometry()));
    EXPECT_EQ(exit->text(), "Exit");
    EXPECT_EQ(QApplication::focusWidget(), exit);
    click(&index, "Command1");
    EXPECT_FALSE(index.isVisible());
    EXPECT_EQ(index.result(), QDialog::Accepted);
}

TEST(HelpIndex, EachTopicOpensItsCaptionAndExactText) {
    ScriptedPlatform platform;
    frmHelp index(platform);
    index.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&index));
    const auto topics = expectedTopics();
    for (int i = 0; i < 6; ++i) {
        QString caption, text, button;
        bool textHasFocus = false;
        bool sawWindow = false;
        onNextModal([&](QWidget* modal) {
            auto* sub = qobject_cast<frmsubhelp*>(modal);
            ASSERT_NE(sub, nullptr);
            sawWindow = true;
            caption = sub->windowTitle();
            text = sub->text();
            textHasFocus = sub->focusWidget() == sub->findChild<QWidget*>("Text1");
            auto* index = sub->findChild<QPushButton*>("Command1");
            ASSERT_NE(index, nullptr);
            button = index->text();
            // INDEX closes the topic and returns to the index.
            QTest::mouseClick(index, Qt::LeftButton);
            EXPECT_FALSE(sub->isVisible());
        });
        const QByteArray name = "Label" + QByteArray::number(i + 1);
        QTest::mouseClick(control<QLabel>(&index, name.constData()), Qt::LeftButton);
        ASSERT_TRUE(sawWindow) << i;
        EXPECT_EQ(caption, topics[i].caption) << i;
        EXPECT_EQ(text, topics[i].text) << i;
        EXPECT_EQ(button, "INDEX");
        EXPECT_TRUE(textHasFocus) << i;
        EXPECT_TRUE(index.isVisible());
    }
}

TEST(HelpIndex, TopicTextsHaveTheirLineCountsAndEndings) {
    const auto topics = expectedTopics();
    EXPECT_EQ(topics[0].text.split("\r\n").size(), 21);
    EXPECT_TRUE(topics[0].text.endsWith("project."));
    EXPECT_EQ(topics[5].text.split("\r\n").size(), 22);
    // BITMAP and ICON differ only in the kind name and the second argument of the samples.
    QString icon = topics[2].text;
    icon.replace("ICON", "BITMAP").replace(",1)", ",0)");
    EXPECT_EQ(icon, topics[1].text);
}

TEST(SubHelp, ShowsTheTextWithItsLineEnds) {
    frmsubhelp sub;
    sub.setText("one\r\ntwo\r\n\r\n");
    EXPECT_EQ(sub.text(), "one\r\ntwo\r\n\r\n");
    auto* box = control<QPlainTextEdit>(&sub, "Text1");
    EXPECT_EQ(box->toPlainText(), "one\ntwo\n\n");
    EXPECT_TRUE(box->font().bold());
    EXPECT_EQ(box->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    auto* bar = control<QWidget>(&sub, "Picture1");
    EXPECT_EQ(bar->width(), sub.width());
    EXPECT_EQ(control<QWidget>(&sub, "Command1")->parentWidget(), bar);
}

TEST(AboutBox, ShowsIconNameAndVersionAndEnterCloses) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::magenta);
    frmAbout about{QIcon(pixmap)};
    about.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
    EXPECT_TRUE(about.windowTitle().trimmed().isEmpty());
    EXPECT_EQ(control<QLabel>(&about, "Label1")->text(), "Kelbo");
    EXPECT_EQ(control<QLabel>(&about, "Label2")->text(), "Version 2.12");
    EXPECT_TRUE(control<QLabel>(&about, "Label2")->font().bold());
    const QPixmap shown = control<QLabel>(&about, "Image1")->pixmap();
    ASSERT_FALSE(shown.isNull());
    EXPECT_EQ(shown.toImage().pixelColor(16, 16), QColor(Qt::magenta));
    auto* ok = control<QPushButton>(&about, "Command1");
    EXPECT_EQ(ok->text(), "OK");
    EXPECT_TRUE(ok->isDefault());
    QTest::keyClick(&about, Qt::Key_Return);
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(about.result(), QDialog::Accepted);
}

} // namespace
} // namespace kelbo::test
