// The Languages dialog of the Project menu: the project's languages in order (the base first),
// a language added (chosen by name or typed as four hex digits, optionally with a copy of the
// shown language's items of chosen kinds), removed after a confirmation, or made the base
// section's. The dialog works on a copy: OK puts it in place, Cancel leaves the project as it
// was.
//
// Keys, as in every dialog: Enter presses the focused push button, and OK while no other button
// has the focus; Escape is Cancel.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "project/Project.h"
#include "shell/ItemDialogs.h"
#include "shell/Platform.h"
#include "shell/View.h"

namespace kelbo::shell {

// The captions of the project's languages in order: "Russian (Russia) [0419]", the base's
// followed by " – base".
std::vector<std::string> languageCaptions(const Project& project);

// Controls of languagesDialogSpec().
class LanguagesView : public View {
public:
    virtual void setCaption(const std::string& caption) = 0;
    // lstLanguages: the project's languages, the line `select` selected (-1: none).
    virtual void showLanguages(const std::vector<std::string>& captions, int select) = 0;
    virtual int selectedLanguage() const = 0;
    // cboLanguage: the common languages by name; called once, before any setting.
    virtual void setChoices(const std::vector<std::string>& captions) = 0;
    virtual void setChoice(int index) = 0;
    virtual int choice() const = 0;
    // txtCode: a language typed as four hex digits; when it holds anything it is used instead
    // of cboLanguage.
    virtual void setCode(const std::string& code) = 0;
    virtual std::string code() const = 0;
    // lblCopy, above the check boxes: whose items a new language gets.
    virtual void setCopyCaption(const std::string& caption) = 0;
    // chkCopy0 to chkCopy7, one per kind in the order of kAllKinds.
    virtual void setCopyKind(ResourceKind kind, bool on) = 0;
    virtual bool copyKind(ResourceKind kind) const = 0;
    // cmdRemove: only a language after the base can go.
    virtual void enableRemove(bool enabled) = 0;
    virtual void close(DialogResult result) = 0;
};

class LanguagesPresenter {
public:
    LanguagesPresenter(Session& session, Platform& platform);

    void attach(LanguagesView& view);
    // The selection of lstLanguages changed.
    void selectionChanged();
    // cmdAdd: the chosen language as a new section, with copies of the ticked kinds.
    void add();
    // cmdRemove: the selected language, after the user confirmed it.
    void remove();
    // cmdBase: the chosen language becomes the base section's.
    void setBase();
    void ok();
    void cancel();

    bool accepted() const { return accepted_; }
    // The languages as OK would leave them.
    const Project& project() const { return working_; }
    // The common languages of cboLanguage, in order.
    const std::vector<LanguageId>& choices() const { return choices_; }

private:
    // The language cboLanguage or txtCode names; nothing, after a box, when there is none.
    std::optional<LanguageId> chosenLanguage();
    void refuse(const std::string& text);
    void showList(int select);

    Session& session_;
    Platform& platform_;
    LanguagesView* view_ = nullptr;
    Project working_;
    std::vector<LanguageId> choices_;
    bool accepted_ = false;
};

} // namespace kelbo::shell
