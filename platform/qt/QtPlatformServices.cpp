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
    // "text|pattern|text|pattern…" becomes Qt's "text (pattern)" entries. The texts already
    // show their patterns, so the pattern that Qt appends is hidden from view.
    const QStringList parts = Q(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        // "*.*" means every file where the list comes from; here it would miss names
        // without a dot.
        for (QString& pattern : patterns) {
            if (pattern.trimmed() == QLatin1String("*.*")) pattern = QStringLiteral("*");
        }
        filters << parts[i] + QLatin1String(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    QFileDialog dialog(parent_);
    // Qt's own dialog on every desktop, so that the options below hold everywhere. It has
    // no read-only check box to hide.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);  // new names are accepted: export creates them
    dialog.setNameFilters(filters);
    if (!filters.isEmpty()) dialog.selectNameFilter(filters.first());
    if (!lastName_.isEmpty()) dialog.selectFile(lastName_);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    lastName_ = dialog.selectedFiles().first();
    return QDir::toNativeSeparators(lastName_).toStdString();
}

void QtMessageBox::ShowCriticalOkCancel(const std::string& text, const std::string& title) {
    // Lines come joined by CR LF; a path may hold '<', so the text is never taken as markup.
    QString shown = Q(text);
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QMessageBox box(QMessageBox::Critical, Q(title), shown, QMessageBox::Ok | QMessageBox::Cancel, parent_);
    box.setTextFormat(Qt::PlainText);
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
    // The buffer is flushed and checked here: commit() flushes it too, but ignores a write
    // that fails there and would put a cut-off file in place of the old one.
    if (f.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size()) ||
        !f.flush()) {
        f.cancelWriting();
        (void)f.commit();  // only removes the new file
        return false;
    }
    return f.commit();
}

std::string QtFileSystem::InProgramFolder(const std::string& name) const {
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath() + QLatin1Char('/') + Q(name))
        .toStdString();
}

}  // namespace norvale
