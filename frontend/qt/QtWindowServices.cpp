#include "frontend/qt/QtWindowServices.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

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

void QtAlert::ShowCriticalOkCancel(const std::string& text, const std::string& title) {
    // Lines come joined by CR LF; a path may hold '<', so the text is never taken as markup.
    QString shown = Q(text);
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QMessageBox box(QMessageBox::Critical, Q(title), shown, QMessageBox::Ok | QMessageBox::Cancel, parent_);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

}  // namespace norvale
