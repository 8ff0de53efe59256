#include "shell/ItemDialogs.h"

#include <algorithm>

#include "dialogs/ItemValidation.h"
#include "platform/Cp1252.h"
#include "platform/PathRules.h"

namespace kelbo::shell {

namespace {

// The box for a character the project file cannot store; it quotes the character itself.
void reportUnrepresentable(Platform& platform, View* owner, char32_t codePoint) {
    platform.beep();
    platform.messageBoxUtf8(owner, unrepresentableMessage(codePoint), "ERROR", BoxIcon::Stop,
                            BoxButtons::Ok);
}

} // namespace

// --- String item dialog ----------------------------------------------------------------------

StringItemPresenter::StringItemPresenter(Session& session, Platform& platform, int selectedIndex)
    : session_(session), platform_(platform), selectedIndex_(selectedIndex) {}

void StringItemPresenter::attach(StringItemView& view) {
    view_ = &view;
    view.setCaption("  STRING");
    if (session_.EditedLine.empty()) {
        view.setTextMaxLength(kMaxTypedLength);
    } else {
        const EditedParts parts = splitEditedLine(session_.EditedLine);
        // The limit is on typing: a longer text from a project file is shown whole, not cut.
        const int shown = static_cast<int>(cp1252ToUtf16(parts.rest).size());
        view.setTextMaxLength(std::max(kMaxTypedLength, shown));
        view.setText(parts.rest);
        view.setIdentifier(parts.identifier);
    }
    view.focusText();
}

void StringItemPresenter::ok() {
    if (!view_)
        return;
    const TypedText identifier = view_->identifier();
    const TypedText text = view_->text();
    if (!identifier.text || !text.text) {
        reportUnrepresentable(platform_, view_, identifier.text ? text.bad : identifier.bad);
        return;
    }
    const ItemCheck check = checkStringItem(*identifier.text, *text.text);
    if (!check.ok()) {
        showError(platform_, view_, check.errorCode);
        return;
    }
    if (session_.EditedLine.empty())
        session_.appendItem(ResourceKind::String, check.line);
    else
        session_.replaceItem(ResourceKind::String, selectedIndex_, check.line);
    accepted_ = true;
    view_->close(DialogResult::Accepted);
}

void StringItemPresenter::cancel() {
    if (view_)
        view_->close(DialogResult::Cancelled);
}

// --- File item dialog ------------------------------------------------------------------------

FileItemPresenter::FileItemPresenter(Session& session, Platform& platform, int selectedIndex,
                                     FileSystem& fs)
    : session_(session), platform_(platform), fs_(fs), selectedIndex_(selectedIndex),
      kind_(session.CurrentKind) {
    switch (kind_) {
    case ResourceKind::Icon:
        pattern_ = "*.ICO";
        break;
    case ResourceKind::Wave:
        pattern_ = "*.WAV";
        break;
    default:
        pattern_ = "*.BMP";
        break;
    }
}

void FileItemPresenter::attach(FileItemView& view) {
    view_ = &view;
    const bool ownCaption = kind_ == ResourceKind::Icon || kind_ == ResourceKind::Wave;
    view.setCaption("  " + std::string(kindName(ownCaption ? kind_ : ResourceKind::Bitmap)));
    view.setPattern(pattern_);
    view.showPlayButton(kind_ == ResourceKind::Wave);
    fileName_ = pattern_;
    view.setFileName(fileName_);

    if (session_.ItemDir.empty())
        session_.ItemDir = session_.ExeDir.empty() ? executableDirectory() : session_.ExeDir;

    if (session_.EditedLine.empty()) {
        openOn(session_.ItemDir);
        view.setIdentifier({});
    } else {
        const EditedParts parts = splitEditedLine(session_.EditedLine);
        view.setIdentifier(parts.identifier);
        const FolderAndName place = splitItemPath(parts.rest, session_.ItemDir);
        session_.ItemDir = place.folder;
        openOn(place.folder);
        // A line without a path leaves the pattern showing: no file is chosen.
        if (!place.name.empty()) {
            fileName_ = place.name;
            fileSpelled_ = true;
            view.setFileName(fileName_);
        }
    }
    view.focusFileList();
}

// Shows `folder`, or the program's folder when it is gone, or at worst the current one.
void FileItemPresenter::openOn(const std::string& folder) {
    const std::string candidates[] = {
        folder,
        session_.ExeDir.empty() ? executableDirectory() : session_.ExeDir,
        currentDirectory(),
        std::string(1, separatorOf(nativePathStyle())),
    };
    for (const std::string& candidate : candidates)
        if (!candidate.empty() && view_->showFolder(folderForBrowsing(candidate)))
            return;
}

void FileItemPresenter::folderShown(const TypedText& folder) {
    folderSpelled_ = folder.text.has_value();
    folderBad_ = folder.bad;
    folder_ = folder.text.value_or(std::string());
}

void FileItemPresenter::fileChosen(const TypedText& name) {
    fileSpelled_ = name.text.has_value();
    fileBad_ = name.bad;
    fileName_ = name.text.value_or(std::string());
    if (kind_ != ResourceKind::Wave && view_)
        view_->previewChosenFile();
}

std::string FileItemPresenter::fullPath() const {
    return joinPath(folder_, fileName_);
}

void FileItemPresenter::play() {
    // A name the project cannot spell cannot become an item either: the default sound says so.
    if (!folderSpelled_ || !fileSpelled_) {
        platform_.beep();
        return;
    }
    platform_.playSound(fullPath());
}

void FileItemPresenter::ok() {
    if (!view_)
        return;
    // The folder is remembered before any check, so even a refused OK keeps it.
    if (folderSpelled_)
        session_.ItemDir = folder_;
    const TypedText identifier = view_->identifier();
    if (!folderSpelled_ || !identifier.text || !fileSpelled_) {
        reportUnrepresentable(platform_, view_,
                              !folderSpelled_    ? folderBad_
                              : !identifier.text ? identifier.bad
                                                 : fileBad_);
        return;
    }
    const ItemCheck check =
        checkFileItem(*identifier.text, folder_, fileName_,
                      [this](const std::string& path) { return fs_.fileExists(path); });
    if (!check.ok()) {
        showError(platform_, view_, check.errorCode);
        return;
    }
    if (session_.EditedLine.empty())
        session_.appendItem(kind_, check.line);
    else
        session_.replaceItem(kind_, selectedIndex_, check.line);
    accepted_ = true;
    view_->close(DialogResult::Accepted);
}

void FileItemPresenter::cancel() {
    if (view_)
        view_->close(DialogResult::Cancelled);
}

} // namespace kelbo::shell
