#include "shell/ItemDialogs.h"

#include <algorithm>

#include "messages/ErrorCodes.h"
#include "platform/PathRules.h"
#include "platform/Unicode.h"
#include "rescompiler/IdentifierCheck.h"
#include "rescompiler/ItemLine.h"
#include "shell/ItemValidation.h"
#include "shell/ProjectDialogs.h"

namespace kelbo::shell {

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
        const int shown = static_cast<int>(utf16Length(parts.rest));
        view.setTextMaxLength(std::max(kMaxTypedLength, shown));
        view.setText(parts.rest);
        view.setIdentifier(parts.identifier);
    }
    view.focusText();
}

void StringItemPresenter::ok() {
    if (!view_)
        return;
    const ItemCheck check = checkStringItem(view_->identifier(), view_->text());
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
    case ResourceKind::Cursor:
        pattern_ = "*.CUR";
        break;
    case ResourceKind::Data:
        pattern_ = "*.*";
        break;
    default:
        pattern_ = "*.BMP";
        break;
    }
}

void FileItemPresenter::attach(FileItemView& view) {
    view_ = &view;
    const bool data = kind_ == ResourceKind::Data;
    const bool ownCaption = kind_ != ResourceKind::String && hasIdentifier(kind_);
    view.setCaption("  " + std::string(kindName(ownCaption ? kind_ : ResourceKind::Bitmap)));
    view.setPattern(pattern_);
    view.showPlayButton(kind_ == ResourceKind::Wave);
    view.showDataFields(data);
    if (data) {
        view.setType(kDefaultDataType);
        view.setFileSize({});
    }
    fileName_ = pattern_;
    view.setFileName(fileName_);

    if (session_.ItemDir.empty())
        session_.ItemDir = session_.ExeDir.empty() ? executableDirectory() : session_.ExeDir;

    if (session_.EditedLine.empty()) {
        openOn(session_.ItemDir);
        view.setIdentifier({});
    } else {
        EditedParts parts = splitEditedLine(session_.EditedLine);
        view.setIdentifier(parts.identifier);
        if (data) {
            // The rest of a DATA line is `type TAB source`.
            const EditedParts typed = splitEditedLine(parts.rest);
            view.setType(typed.identifier);
            parts.rest = typed.rest;
        }
        const FolderAndName place = splitItemPath(parts.rest, session_.ItemDir);
        session_.ItemDir = place.folder;
        openOn(place.folder);
        // A line without a path leaves the pattern showing: no file is chosen.
        if (!place.name.empty()) {
            fileName_ = place.name;
            view.setFileName(fileName_);
            showSize();
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

void FileItemPresenter::folderShown(const std::string& folder) {
    folder_ = folder;
}

void FileItemPresenter::fileChosen(const std::string& name) {
    fileName_ = name;
    if (!view_)
        return;
    if (kind_ == ResourceKind::Data)
        showSize();
    else if (kind_ != ResourceKind::Wave)
        view_->previewChosenFile();
}

// "12,345 bytes" under the type of a DATA item; nothing while no existing file is chosen.
void FileItemPresenter::showSize() {
    if (kind_ != ResourceKind::Data || !view_)
        return;
    std::string text;
    if (fileName_.find('*') == std::string::npos) {
        std::string error;
        if (const std::unique_ptr<InputFile> in = fs_.openInput(fullPath(), error)) {
            const std::uint64_t size = in->size();
            const std::string digits = std::to_string(size);
            for (std::size_t i = 0; i < digits.size(); ++i) {
                if (i > 0 && (digits.size() - i) % 3 == 0)
                    text += ',';
                text += digits[i];
            }
            text += size == 1 ? " byte" : " bytes";
        }
    }
    view_->setFileSize(text);
}

std::string FileItemPresenter::fullPath() const {
    return joinPath(folder_, fileName_);
}

void FileItemPresenter::play() {
    platform_.playSound(fullPath());
}

void FileItemPresenter::ok() {
    if (!view_)
        return;
    // The folder is remembered before any check, so even a refused OK keeps it.
    session_.ItemDir = folder_;
    ItemCheck check =
        checkFileItem(view_->identifier(), folder_, fileName_,
                      [this](const std::string& path) { return fs_.fileExists(path); });
    if (!check.ok()) {
        showError(platform_, view_, check.errorCode);
        return;
    }
    if (kind_ == ResourceKind::Data) {
        const std::string type(trimSpaces(view_->type()));
        std::string problem;
        if (type.find('\t') != std::string::npos) {
            showProblem(platform_, view_, kBadDataType, "A type holds no TAB");
            return;
        }
        if (!checkDataType(type, problem)) {
            showProblem(platform_, view_, kBadDataType, problem);
            return;
        }
        const EditedParts parts = splitEditedLine(check.line);
        check.line = parts.identifier + '\t' + type + '\t' + parts.rest;
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
