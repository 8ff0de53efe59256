// The help index, a help topic, the about box and the compile log window.
#pragma once

#include <string>

#include "messages/HelpTopics.h"
#include "rescompiler/CompileLog.h"
#include "shell/Platform.h"
#include "shell/View.h"

namespace kelbo::shell {

class SubHelpPresenter;

// ---------------------------------------------------------------------------------------------
// The help index: one link per topic (Label1 to Label10), each opening the topic's window.

class HelpView : public View {
public:
    virtual void setCaption(const std::string& caption) = 0;
    // The link of topic `index` (0 to kTopicCount - 1).
    virtual void setTopicLabel(int index, const std::string& label) = 0;
    // Shows the topic modally over the index; returns when it is closed.
    virtual void runSubHelp(SubHelpPresenter& topic) = 0;
    virtual void close() = 0;
};

class HelpPresenter {
public:
    static constexpr int kTopicCount = kHelpTopicCount;

    void attach(HelpView& view);
    // A click on a topic's link; an index outside the topics does nothing.
    void openTopic(int index);
    // Exit, Enter or Escape.
    void exit();

private:
    HelpView* view_ = nullptr;
};

// ---------------------------------------------------------------------------------------------
// One help topic: its caption and text under a bar with INDEX, the button back to the index.

class SubHelpView : public View {
public:
    virtual void setCaption(const std::string& caption) = 0;
    // Lines separated by CR LF.
    virtual void setText(const std::string& text) = 0;
    virtual void close() = 0;
};

class SubHelpPresenter {
public:
    // Topic 0 to kTopicCount - 1 of helpTopics().
    explicit SubHelpPresenter(int topic) : topic_(topic) {}

    void attach(SubHelpView& view);
    // INDEX (clicked, or Enter while it has the focus) and Escape.
    void backToIndex();
    int topic() const { return topic_; }

private:
    int topic_;
    SubHelpView* view_ = nullptr;
};

// ---------------------------------------------------------------------------------------------
// The about box: the program's icon, name and version.

class AboutView : public View {
public:
    virtual void setCaption(const std::string& caption) = 0;
    virtual void setProgramName(const std::string& name) = 0;
    virtual void setVersion(const std::string& version) = 0;
    virtual void close() = 0;
};

class AboutPresenter {
public:
    void attach(AboutView& view);
    void ok();

private:
    AboutView* view_ = nullptr;
};

// ---------------------------------------------------------------------------------------------
// The compile log window: stays open beside the main window and shows the log of the last
// compilation until OK closes (and discards) it.

class CompileLogView : public View {
public:
    // The whole log, lines separated by CR LF, scrolled to its end and drawn at once (a
    // compilation runs on the window's thread).
    virtual void setLogText(const std::string& text) = 0;
    virtual void close() = 0;
};

class CompileLogPresenter {
public:
    void attach(CompileLogView& view);
    // The log the writers extend; showLog() puts its current text on screen.
    CompileLog& log() { return log_; }
    void showLog();
    void ok();

private:
    CompileLog log_;
    CompileLogView* view_ = nullptr;
};

} // namespace kelbo::shell
