#include "platform/qt/QtPlatformServices.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QSaveFile>
#include <QStandardPaths>

namespace norvale {

namespace {

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

void QtEventPump::RunPending() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

std::optional<std::string> QtFileDialog::ShowOpen(const std::string& filter) {
    // "text|pattern|text|pattern…" becomes Qt's "text (pattern);;…"; the texts already show
    // their patterns, so only the texts are kept.
    const QStringList parts = Q(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) filters << parts[i];
    QFileDialog dialog(parent_);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);  // new names are accepted
    dialog.setOption(QFileDialog::ReadOnly, false);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setNameFilters(filters);
    if (!filters.isEmpty()) dialog.selectNameFilter(filters.first());
    if (!lastName_.isEmpty()) dialog.selectFile(lastName_);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    lastName_ = dialog.selectedFiles().first();
    return QDir::toNativeSeparators(lastName_).toStdString();
}

void QtMessageBox::ShowCriticalOkCancel(const std::string& text, const std::string& title) {
    QMessageBox box(QMessageBox::Critical, Q(title), Q(text), QMessageBox::Ok | QMessageBox::Cancel, parent_);
    box.exec();
}

QtInstanceGuard::QtInstanceGuard(QString lockPath) : lock_(std::make_unique<QLockFile>(lockPath)) {
    lock_->setStaleLockTime(0);  // stale only when its owner is gone
}

QString QtInstanceGuard::DefaultLockPath() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath();
    return dir + QStringLiteral("/norvale.lock");
}

bool QtInstanceGuard::AnotherInstanceRunning() { return !lock_->tryLock(0); }

std::optional<std::string> QtFileSystem::ReadAll(const std::string& path) {
    QFile f(Q(path));
    if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError) return std::nullopt;
    return bytes.toStdString();
}

bool QtFileSystem::WriteAll(const std::string& path, std::string_view bytes) {
    QSaveFile f(Q(path));
    if (!f.open(QIODevice::WriteOnly)) return false;
    if (f.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size())) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

std::string QtFileSystem::InProgramFolder(const std::string& name) const {
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath() + QLatin1Char('/') + Q(name))
        .toStdString();
}

}  // namespace norvale
