#include "frontend/qt/QtMainWindow.h"

#include <QCloseEvent>
#include <QElapsedTimer>
#include <QTimer>
#include <QWindow>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <cmath>

#include "frontend/qt/QtSurface.h"

namespace norvale {

namespace {

QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

void Put(QWidget* widget, const PixelRect& r) { widget->setGeometry(r.left, r.top, r.width, r.height); }

}  // namespace

QtMainWindow::QtMainWindow() {
    setObjectName(QStringLiteral("mainWindow"));

    QMenu* file = menuBar()->addMenu(QStringLiteral("ﾌｧｲﾙ"));
    file->setObjectName(QStringLiteral("fileMenu"));
    actions_[MenuItem::File] = file->menuAction();
    actions_[MenuItem::ImportWatchList] = file->addAction(QStringLiteral("銘柄データ入力"));
    actions_[MenuItem::ExportWatchList] = file->addAction(QStringLiteral("銘柄データ出力"));
    actions_[MenuItem::Offline] = file->addAction(QStringLiteral("OFFLINE"));
    actions_[MenuItem::StartPolling] = menuBar()->addAction(QStringLiteral("RSS開始"));
    actions_[MenuItem::StopPolling] = menuBar()->addAction(QStringLiteral("RSS停止"));
    actions_[MenuItem::ImportWatchList]->setObjectName(QStringLiteral("importWatchList"));
    actions_[MenuItem::ExportWatchList]->setObjectName(QStringLiteral("exportWatchList"));
    actions_[MenuItem::Offline]->setObjectName(QStringLiteral("offline"));
    actions_[MenuItem::StartPolling]->setObjectName(QStringLiteral("startPolling"));
    actions_[MenuItem::StopPolling]->setObjectName(QStringLiteral("stopPolling"));
    actions_[MenuItem::Offline]->setEnabled(false);

    // Commands run as soon as they are chosen, even in the middle of a pass: a stop chosen
    // during a brand's last request must be seen at that brand's boundary, not one brand later.
    auto wire = [this](MenuItem m, void (WindowEvents::*handler)()) {
        connect(actions_[m], &QAction::triggered, this, [this, handler] {
            if (events_ != nullptr) (events_->*handler)();
        });
    };
    wire(MenuItem::ImportWatchList, &WindowEvents::ImportWatchList);
    wire(MenuItem::ExportWatchList, &WindowEvents::ExportWatchList);
    wire(MenuItem::Offline, &WindowEvents::ToggleOffline);
    wire(MenuItem::StartPolling, &WindowEvents::StartPolling);
    wire(MenuItem::StopPolling, &WindowEvents::StopPolling);

    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("client"));
    setCentralWidget(client_);
    client_->installEventFilter(this);

    // Qt scales its own pixels: the layout at 96 dpi, 15 twips to the pixel.
    const int clientWidth = layout_.ClientWidth(), clientHeight = layout_.ClientHeight();
    auto label = [&](Control control, const char* name) {
        auto* l = new QLabel(Q(WindowLayout::LabelText(control)), client_);
        l->setObjectName(QString::fromLatin1(name));
        Put(l, layout_.Place(control, clientWidth, clientHeight));
        return l;
    };
    label(Control::CodeLabel, "codeLabel")->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label(Control::SortKeyLabel, "sortKeyLabel");
    label(Control::IntervalLabel, "intervalLabel");

    codeBox_ = new QLineEdit(client_);
    codeBox_->setObjectName(QStringLiteral("codeBox"));
    Put(codeBox_, layout_.Place(Control::CodeBox, clientWidth, clientHeight));
    codeBox_->setReadOnly(true);  // it only shows the typed code
    codeBox_->setFocusPolicy(Qt::ClickFocus);  // and a click there gives the keys to the table (below)

    sortKeyList_ = new QComboBox(client_);
    sortKeyList_->setObjectName(QStringLiteral("sortKeyList"));
    Put(sortKeyList_, layout_.Place(Control::SortKeyList, clientWidth, clientHeight));

    intervalList_ = new QComboBox(client_);
    intervalList_->setObjectName(QStringLiteral("intervalList"));
    Put(intervalList_, layout_.Place(Control::IntervalList, clientWidth, clientHeight));

    connect(sortKeyList_, &QComboBox::activated, this, [this](int) {
        if (events_ != nullptr) events_->SortKeyChosen();
    });
    connect(intervalList_, &QComboBox::activated, this, [this](int) {
        if (events_ != nullptr) events_->IntervalChosen();
    });

    tableSurface_ = new QtSurface(client_);
    const PixelRect table = layout_.Place(Control::TableSurface, clientWidth, clientHeight);
    tableSurface_->move(table.left, table.top);
    const TwipRect designed = WindowLayout::Designed(Control::TableSurface);
    tableSurface_->SetSizeTwips(designed.width, designed.height);
    codeBox_->setFocusProxy(tableSurface_);
    tableSurface_->setFocus();  // typed codes reach the table from the start
    // Aligned to the bottom edge over the lower part of the table surface, as designed.
    statusBar_ = new QStatusBar(client_);
    statusBar_->setObjectName(QStringLiteral("statusBar"));
    statusBar_->setSizeGripEnabled(false);
    static constexpr std::array<const char*, kStatusPanelCount> kPanelNames = {
        "activityPanel", "sortKeyPanel", "loadTimePanel", "brandCountPanel"};
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        panels_[i] = new QLabel(statusBar_);
        panels_[i]->setObjectName(QString::fromLatin1(kPanelNames[i]));
        panels_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        statusBar_->addPermanentWidget(panels_[i], WindowLayout::kStatusPanelShares[i]);
    }
    statusBar_->raise();

    client_->setMinimumSize(0, 0);
    resize(clientWidth, clientHeight + menuBar()->sizeHint().height());
}

void QtMainWindow::SetEvents(WindowEvents* events) {
    events_ = events;
    tableSurface_->SetEvents(events);
}

void QtMainWindow::PlaceWhenFramed(std::function<void()> place) {
    auto* poll = new QTimer(this);
    auto* waited = new QElapsedTimer;
    waited->start();
    connect(poll, &QTimer::timeout, this, [this, poll, waited, place = std::move(place)] {
        const QWindow* handle = windowHandle();
        const bool framed = handle != nullptr && isVisible() && !handle->frameMargins().isNull();
        if (!framed && waited->elapsed() < 2000) return;
        poll->stop();
        poll->deleteLater();
        delete waited;
        if (framed) place();
    });
    poll->start(10);
}

void QtMainWindow::SetCaption(const std::string& caption) { setWindowTitle(Q(caption)); }

void QtMainWindow::SetMenuEnabled(MenuItem item, bool enabled) { actions_.at(item)->setEnabled(enabled); }

void QtMainWindow::SetListItems(DropDown list, const std::vector<std::string>& items) {
    QComboBox* box = ListOf(list);
    const QSignalBlocker block(box);
    box->clear();
    for (const auto& item : items) box->addItem(Q(item));
    box->setCurrentIndex(-1);
}

void QtMainWindow::SelectListItem(DropDown list, int index) {
    QComboBox* box = ListOf(list);
    const QSignalBlocker block(box);
    box->setCurrentIndex(index);
}

int QtMainWindow::SelectedIndex(DropDown list) const { return ListOf(list)->currentIndex(); }

std::string QtMainWindow::SelectedText(DropDown list) const {
    const QComboBox* box = ListOf(list);
    return box->currentIndex() < 0 ? std::string() : box->currentText().toStdString();
}

void QtMainWindow::SetCodeBoxText(const std::string& text) { codeBox_->setText(Q(text)); }

WindowState QtMainWindow::State() const {
    if (isMinimized()) return WindowState::Minimized;
    if (isMaximized() || isFullScreen()) return WindowState::Maximized;
    return WindowState::Normal;
}

TwipRect QtMainWindow::Frame() const {
    const QRect f = frameGeometry();
    return {layout_.Twips(f.left()), layout_.Twips(f.top()), layout_.Twips(f.width()), layout_.Twips(f.height())};
}

void QtMainWindow::MoveTo(double left, double top) { move(layout_.Px(left), layout_.Px(top)); }

double QtMainWindow::ScreenWidth() const {
    const QScreen* s = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
    return s != nullptr ? layout_.Twips(s->geometry().width()) : 0;
}

double QtMainWindow::ScreenHeight() const {
    const QScreen* s = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
    return s != nullptr ? layout_.Twips(s->geometry().height()) : 0;
}

double QtMainWindow::ClientWidth() const { return layout_.Twips(client_->width()); }

double QtMainWindow::ClientHeight() const { return layout_.Twips(client_->height()); }

void QtMainWindow::SetTableSurfaceSize(double width, double height) { tableSurface_->SetSizeTwips(width, height); }

double QtMainWindow::TableSurfaceWidth() const { return tableSurface_->WidthTwips(); }

double QtMainWindow::TableSurfaceHeight() const { return tableSurface_->HeightTwips(); }

int QtMainWindow::PointerYOnTable() const { return tableSurface_->LastClickY(); }

void QtMainWindow::Close() { close(); }

void QtMainWindow::SetPanel(StatusPanel panel, const std::string& text) {
    panels_[static_cast<std::size_t>(panel)]->setText(Q(text));
}

std::string QtMainWindow::PanelText(StatusPanel panel) const {
    return panels_[static_cast<std::size_t>(panel)]->text().toStdString();
}

void QtMainWindow::closeEvent(QCloseEvent* event) {
    if (destroyed_ || events_ == nullptr) {
        event->accept();
        return;
    }
    if (events_->CloseRequested() == CloseAnswer::Refuse) {
        event->ignore();
        return;
    }
    events_->Closing();
    destroyed_ = true;
    event->accept();
}

void QtMainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && events_ != nullptr && !destroyed_) events_->Resized();
}

bool QtMainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == client_ && event->type() == QEvent::Resize) {
        Put(statusBar_, layout_.Place(Control::StatusBar, client_->width(), client_->height()));
        statusBar_->raise();
        if (events_ != nullptr && !destroyed_) events_->Resized();
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace norvale
