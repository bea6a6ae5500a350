// Norvale's entry point on Qt: builds the window and its services and hands them to frmGrp.
#include <QApplication>

#include "app/FrmGrp.h"
#include "platform/dbus/DbusDdeml.h"
#include "platform/qt/QtMainWindow.h"
#include "platform/qt/QtPlatformServices.h"
#include "platform/qt/QtSurface.h"
#include "platform/qt/QtTicker.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("norvale"));

    norvale::QtMainWindow window;
    norvale::QtEventPump events;
    norvale::QtFileDialog fileDialog(&window);
    norvale::QtMessageBox messageBox(&window);
    norvale::QtFileSystem files;
    norvale::QtInstanceGuard instance;
    norvale::DbusDdeml ddeml;
    norvale::FrmGrp* frm = nullptr;
    norvale::QtTicker timer1(1000, [&] { frm->Timer1_Timer(); });
    norvale::QtTicker timer3(1000, [&] { frm->Timer3_Timer(); });

    norvale::Platform platform{window, window, window.Picture1(), timer1, timer3, events,
                               fileDialog, messageBox, files, instance, ddeml};
    norvale::FrmGrp form(platform);
    frm = &form;
    window.SetEvents(&form);

    if (!form.Form_Load()) return 0;  // another instance runs: end silently
    window.show();
    return QApplication::exec();
}
