#include "LNQtOpenPanel.h"

#include "LNQtStrings.h"

#include <QApplication>
#include <QFile>

namespace kinloom {

using namespace Qt::StringLiterals;

LNQtOpenPanel::LNQtOpenPanel() : dialog_(QApplication::activeWindow()) {
    dialog_.setAcceptMode(QFileDialog::AcceptOpen);
    updateFileMode();
}

void LNQtOpenPanel::setCanChooseDirectories(bool can) {
    canChooseDirectories_ = can;
    updateFileMode();
}

void LNQtOpenPanel::setCanChooseFiles(bool) {
    // A QFileDialog always offers files, except in directory mode.
}

void LNQtOpenPanel::setCanCreateDirectories(bool can) {
    // A read-only dialog offers no "New Folder".
    dialog_.setOption(QFileDialog::ReadOnly, !can);
}

void LNQtOpenPanel::setAllowsMultipleSelection(bool allows) {
    allowsMultipleSelection_ = allows;
    updateFileMode();
}

void LNQtOpenPanel::updateFileMode() {
    if (canChooseDirectories_)
        dialog_.setFileMode(QFileDialog::Directory);
    else
        dialog_.setFileMode(allowsMultipleSelection_ ? QFileDialog::ExistingFiles
                                                     : QFileDialog::ExistingFile);
}

void LNQtOpenPanel::setAlphaValue(double alpha) {
    dialog_.setWindowOpacity(alpha);
}

void LNQtOpenPanel::setTitle(StringView title) {
    dialog_.setWindowTitle(toQString(title));
}

void LNQtOpenPanel::setDirectory(const std::string& path) {
    dialog_.setDirectory(QFile::decodeName(QByteArray::fromStdString(path)));
}

void LNQtOpenPanel::setAllowedFileTypes(const std::vector<String>& types) {
    QStringList patterns;
    for (const String& type : types)
        patterns.append(u"*."_s + toQString(type));
    dialog_.setNameFilters({u"GEDCOM files (%1)"_s.arg(patterns.join(u' ')), u"All files (*)"_s});
}

int LNQtOpenPanel::runModal() {
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    int result = dialog_.exec();
    QApplication::restoreOverrideCursor();
    return result == QDialog::Accepted ? okButton : cancelButton;
}

std::vector<std::string> LNQtOpenPanel::filenames() const {
    std::vector<std::string> paths;
    for (const QString& file : dialog_.selectedFiles())
        paths.push_back(QFile::encodeName(file).toStdString());
    return paths;
}

} // namespace kinloom
