#include "LNQtApplication.h"

#include "LNQtOpenPanel.h"
#include "LNQtStrings.h"

#include <QApplication>
#include <QMessageBox>

namespace kinloom {

LNQtApplication::LNQtApplication() : bundle_(LNResourceBundle::nextToExecutable()) {}

void LNQtApplication::setDelegate(LNApplicationDelegate* delegate) {
    delegate_ = delegate;
    QGuiApplication::setQuitOnLastWindowClosed(
        delegate_ && delegate_->applicationShouldTerminateAfterLastWindowClosed(this));
}

void LNQtApplication::terminate(LNView*) {
    QCoreApplication::quit();
}

std::unique_ptr<LNOpenPanel> LNQtApplication::openPanel() {
    return std::make_unique<LNQtOpenPanel>();
}

void LNQtApplication::showMessage(StringView text) {
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Kinloom"), toQString(text),
                                QMessageBox::Ok, QApplication::activeWindow());
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

bool LNQtApplication::openFile(const std::optional<std::string>& path) {
    return delegate_ && delegate_->openFile(this, path);
}

} // namespace kinloom
