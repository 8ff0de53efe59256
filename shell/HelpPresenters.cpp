#include "shell/HelpPresenters.h"

#include "messages/Captions.h"
#include "messages/HelpTopics.h"

namespace kelbo::shell {

void HelpPresenter::attach(HelpView& view) {
    view_ = &view;
    view.setCaption(kHelpIndexCaption);
    const auto& topics = helpTopics();
    for (int i = 0; i < kTopicCount; ++i)
        view.setTopicLabel(i, topics[i].label);
}

void HelpPresenter::openTopic(int index) {
    if (!view_ || index < 0 || index >= kTopicCount)
        return;
    SubHelpPresenter topic(index);
    view_->runSubHelp(topic);
}

void HelpPresenter::exit() {
    if (view_)
        view_->close();
}

void SubHelpPresenter::attach(SubHelpView& view) {
    view_ = &view;
    const HelpTopic& topic = helpTopics()[topic_];
    view.setCaption(topic.caption);
    view.setText(topic.text);
}

void SubHelpPresenter::backToIndex() {
    if (view_)
        view_->close();
}

void AboutPresenter::attach(AboutView& view) {
    view_ = &view;
    view.setCaption(" ");
    view.setProgramName("Kelbo");
    view.setVersion("Version " + std::string(kVersion));
}

void AboutPresenter::ok() {
    if (view_)
        view_->close();
}

void CompileLogPresenter::attach(CompileLogView& view) {
    view_ = &view;
}

void CompileLogPresenter::showLog() {
    if (view_)
        view_->setLogText(log_.text());
}

void CompileLogPresenter::ok() {
    if (view_)
        view_->close();
}

} // namespace kelbo::shell
