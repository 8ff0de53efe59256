#include "shell/LanguagesPresenter.h"

#include "project/Languages.h"
#include "rescompiler/ItemLine.h"

namespace kelbo::shell {

std::vector<std::string> languageCaptions(const Project& project) {
    std::vector<std::string> captions;
    for (int i = 0; i < project.sectionCount(); ++i)
        captions.push_back(languageCaption(project.section(i).language) +
                           (i == 0 ? " \u2013 base" : ""));
    return captions;
}

LanguagesPresenter::LanguagesPresenter(Session& session, Platform& platform)
    : session_(session), platform_(platform), working_(session.project) {}

void LanguagesPresenter::attach(LanguagesView& view) {
    view_ = &view;
    view.setCaption("  Languages");
    std::vector<std::string> captions;
    for (const LanguageChoice& choice : commonLanguages()) {
        choices_.push_back(choice.id);
        captions.push_back(languageCaption(choice.id));
    }
    view.setChoices(captions);
    view.setChoice(0);
    view.setCode({});
    view.setCopyCaption("Copy the items of " + languageCaption(session_.current().language) +
                        " of these kinds into a new language:");
    for (ResourceKind kind : kAllKinds)
        view.setCopyKind(kind, kind == ResourceKind::String);
    showList(session_.CurrentSection < working_.sectionCount() ? session_.CurrentSection : 0);
}

void LanguagesPresenter::showList(int select) {
    view_->showLanguages(languageCaptions(working_), select);
    view_->enableRemove(select > 0);
}

void LanguagesPresenter::selectionChanged() {
    if (view_)
        view_->enableRemove(view_->selectedLanguage() > 0);
}

void LanguagesPresenter::refuse(const std::string& text) {
    platform_.beep();
    platform_.messageBox(view_, text, "ERROR", BoxIcon::Stop, BoxButtons::Ok);
}

std::optional<LanguageId> LanguagesPresenter::chosenLanguage() {
    const std::string code(trimSpaces(view_->code()));
    if (!code.empty()) {
        const std::optional<LanguageId> typed = parseLanguageHex(code);
        if (!typed)
            refuse("\"" + code +
                   "\" is no language code.\r\nA code is four hex digits, such as 0419.");
        return typed;
    }
    const int choice = view_->choice();
    if (choice < 0 || choice >= static_cast<int>(choices_.size())) {
        refuse("Choose a language from the list, or type its code.");
        return std::nullopt;
    }
    return choices_[choice];
}

void LanguagesPresenter::add() {
    if (!view_)
        return;
    const std::optional<LanguageId> language = chosenLanguage();
    if (!language)
        return;
    const int index = working_.addSection(*language);
    if (index < 0) {
        refuse("The project has " + languageCaption(*language) + " already.");
        return;
    }
    // The copies come from the language on show in the main window, as it was before the dialog.
    const LanguageSection& source = session_.current();
    for (ResourceKind kind : kAllKinds)
        if (view_->copyKind(kind))
            working_.section(index).setLines(kind, source.lines(kind));
    view_->setCode({});
    showList(index);
}

void LanguagesPresenter::remove() {
    if (!view_)
        return;
    const int selected = view_->selectedLanguage();
    if (selected <= 0 || selected >= working_.sectionCount()) {
        refuse(selected == 0 ? "The base language stays: set another language as the base "
                               "instead."
                             : "Choose the language to remove in the list.");
        return;
    }
    const LanguageSection& section = working_.section(selected);
    const int items = section.totalCount();
    std::string text = "Remove " + languageCaption(section.language);
    if (items > 0)
        text += " and its " + std::to_string(items) + (items == 1 ? " item" : " items");
    text += "?";
    if (platform_.messageBox(view_, text, "WARNING", BoxIcon::Exclamation, BoxButtons::OkCancel) !=
        BoxAnswer::Ok)
        return;
    working_.removeSection(selected);
    showList(selected < working_.sectionCount() ? selected : selected - 1);
}

void LanguagesPresenter::setBase() {
    if (!view_)
        return;
    const std::optional<LanguageId> language = chosenLanguage();
    if (!language)
        return;
    if (*language == working_.baseLanguage())
        return;
    if (!working_.setBaseLanguage(*language)) {
        refuse("The project has " + languageCaption(*language) +
               " already: remove that language first, or choose another for the base.");
        return;
    }
    view_->setCode({});
    showList(0);
}

void LanguagesPresenter::ok() {
    if (!view_)
        return;
    if (working_ != session_.project) {
        // The language on show stays on show; when it went, the base takes its place. The base
        // is the base whatever its language now is.
        const int current =
            session_.CurrentSection > 0 && session_.CurrentSection < session_.project.sectionCount()
                ? working_.findSection(session_.current().language)
                : 0;
        session_.project = working_;
        session_.CurrentSection = current > 0 ? current : 0;
        session_.ProjectChanged = true;
    }
    accepted_ = true;
    view_->close(DialogResult::Accepted);
}

void LanguagesPresenter::cancel() {
    if (view_)
        view_->close(DialogResult::Cancelled);
}

} // namespace kelbo::shell
