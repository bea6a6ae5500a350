#include "platform/qt/QtMainWindow.h"

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

#include "platform/qt/QtSurface.h"

namespace norvale {

namespace {

int Px(double twips) { return static_cast<int>(std::lround(twips / kTwipsPerPixel)); }

QRect TwipGeometry(double left, double top, double width, double height) {
    return QRect(Px(left), Px(top), Px(width), Px(height));
}

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// Client area as designed, twips.
constexpr double kClientWidth = 14580;
constexpr double kClientHeight = 8580;
constexpr double kStatusBarHeight = 255;

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

    auto* codeLabel = new QLabel(QStringLiteral("ｺｰﾄﾞ"), client_);
    codeLabel->setObjectName(QStringLiteral("codeLabel"));
    codeLabel->setGeometry(TwipGeometry(120, 60, 975, 375));
    codeLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    codeBox_ = new QLineEdit(client_);
    codeBox_->setObjectName(QStringLiteral("codeBox"));
    codeBox_->setGeometry(TwipGeometry(600, 0, 975, 300));
    codeBox_->setReadOnly(true);  // it only shows the typed code
    codeBox_->setFocusPolicy(Qt::ClickFocus);  // and a click there gives the keys to the table (below)

    auto* sortKeyLabel = new QLabel(QStringLiteral("並び替え"), client_);
    sortKeyLabel->setObjectName(QStringLiteral("sortKeyLabel"));
    sortKeyLabel->setGeometry(TwipGeometry(1800, 60, 1095, 255));

    sortKeyList_ = new QComboBox(client_);
    sortKeyList_->setObjectName(QStringLiteral("sortKeyList"));
    sortKeyList_->setGeometry(TwipGeometry(2640, 0, 3135, 300));

    auto* intervalLabel = new QLabel(QStringLiteral("読込み間隔"), client_);
    intervalLabel->setObjectName(QStringLiteral("intervalLabel"));
    intervalLabel->setGeometry(TwipGeometry(6000, 60, 1095, 255));

    intervalList_ = new QComboBox(client_);
    intervalList_->setObjectName(QStringLiteral("intervalList"));
    intervalList_->setGeometry(TwipGeometry(6960, 0, 1215, 300));

    connect(sortKeyList_, &QComboBox::activated, this, [this](int) {
        if (events_ != nullptr) events_->SortKeyChosen();
    });
    connect(intervalList_, &QComboBox::activated, this, [this](int) {
        if (events_ != nullptr) events_->IntervalChosen();
    });

    tableSurface_ = new QtSurface(client_);
    tableSurface_->move(Px(0), Px(360));
    tableSurface_->SetSizeTwips(12135, 7935);
    codeBox_->setFocusProxy(tableSurface_);
    tableSurface_->setFocus();  // typed codes reach the table from the start
    // Aligned to the bottom edge over the lower part of the table surface, as designed.
    statusBar_ = new QStatusBar(client_);
    statusBar_->setObjectName(QStringLiteral("statusBar"));
    statusBar_->setSizeGripEnabled(false);
    static constexpr std::array<const char*, kStatusPanelCount> kPanelNames = {
        "activityPanel", "sortKeyPanel", "loadTimePanel", "brandCountPanel"};
    const int stretches[kStatusPanelCount] = {3, 2, 2, 2};
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        panels_[i] = new QLabel(statusBar_);
        panels_[i]->setObjectName(QString::fromLatin1(kPanelNames[i]));
        panels_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        statusBar_->addPermanentWidget(panels_[i], stretches[i]);
    }
    statusBar_->raise();

    client_->setMinimumSize(0, 0);
    resize(Px(kClientWidth), Px(kClientHeight) + menuBar()->sizeHint().height());
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
    return {f.left() * kTwipsPerPixel, f.top() * kTwipsPerPixel, f.width() * kTwipsPerPixel,
            f.height() * kTwipsPerPixel};
}

void QtMainWindow::MoveTo(double left, double top) { move(Px(left), Px(top)); }

double QtMainWindow::ScreenWidth() const {
    const QScreen* s = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
    return s != nullptr ? s->geometry().width() * kTwipsPerPixel : 0;
}

double QtMainWindow::ScreenHeight() const {
    const QScreen* s = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
    return s != nullptr ? s->geometry().height() * kTwipsPerPixel : 0;
}

double QtMainWindow::ClientWidth() const { return client_->width() * kTwipsPerPixel; }

double QtMainWindow::ClientHeight() const { return client_->height() * kTwipsPerPixel; }

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
        const int barHeight = Px(kStatusBarHeight);
        statusBar_->setGeometry(0, client_->height() - barHeight, client_->width(), barHeight);
        statusBar_->raise();
        if (events_ != nullptr && !destroyed_) events_->Resized();
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace norvale
