#include "platform/qt/QtMainWindow.h"

#include <QCloseEvent>
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
    setObjectName(QStringLiteral("frmGrp"));

    QMenu* file = menuBar()->addMenu(QStringLiteral("ﾌｧｲﾙ"));
    file->setObjectName(QStringLiteral("mnu_file"));
    actions_[Menu::File] = file->menuAction();
    actions_[Menu::GetMeigara] = file->addAction(QStringLiteral("銘柄データ入力"));
    actions_[Menu::PutMeigara] = file->addAction(QStringLiteral("銘柄データ出力"));
    actions_[Menu::OffLine] = file->addAction(QStringLiteral("OFFLINE"));
    actions_[Menu::RssStart] = menuBar()->addAction(QStringLiteral("RSS開始"));
    actions_[Menu::RssStop] = menuBar()->addAction(QStringLiteral("RSS停止"));
    actions_[Menu::GetMeigara]->setObjectName(QStringLiteral("mnu_get_meigara_1"));
    actions_[Menu::PutMeigara]->setObjectName(QStringLiteral("mnu_put_meigara_1"));
    actions_[Menu::OffLine]->setObjectName(QStringLiteral("mnu_off_line"));
    actions_[Menu::RssStart]->setObjectName(QStringLiteral("mnu_rss_start"));
    actions_[Menu::RssStop]->setObjectName(QStringLiteral("mnu_rss_stop"));
    actions_[Menu::OffLine]->setEnabled(false);

    // Commands run as soon as they are chosen, even in the middle of a pass: a stop chosen
    // during a brand's last request must be seen at that brand's boundary, not one brand later.
    auto wire = [this](Menu m, void (WindowEvents::*handler)()) {
        connect(actions_[m], &QAction::triggered, this, [this, handler] {
            if (events_ != nullptr) (events_->*handler)();
        });
    };
    wire(Menu::GetMeigara, &WindowEvents::mnu_get_meigara_1_Click);
    wire(Menu::PutMeigara, &WindowEvents::mnu_put_meigara_1_Click);
    wire(Menu::OffLine, &WindowEvents::mnu_off_line_Click);
    wire(Menu::RssStart, &WindowEvents::mnu_rss_start_Click);
    wire(Menu::RssStop, &WindowEvents::mnu_rss_stop_Click);

    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("client"));
    setCentralWidget(client_);
    client_->installEventFilter(this);

    auto* label1 = new QLabel(QStringLiteral("ｺｰﾄﾞ"), client_);
    label1->setObjectName(QStringLiteral("Label1"));
    label1->setGeometry(TwipGeometry(120, 60, 975, 375));
    label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    text1_ = new QLineEdit(client_);
    text1_->setObjectName(QStringLiteral("Text1"));
    text1_->setGeometry(TwipGeometry(600, 0, 975, 300));
    text1_->setReadOnly(true);  // it only shows the typed code
    text1_->setFocusPolicy(Qt::NoFocus);

    auto* label2 = new QLabel(QStringLiteral("並び替え"), client_);
    label2->setObjectName(QStringLiteral("Label2"));
    label2->setGeometry(TwipGeometry(1800, 60, 1095, 255));

    combo1_ = new QComboBox(client_);
    combo1_->setObjectName(QStringLiteral("Combo1"));
    combo1_->setGeometry(TwipGeometry(2640, 0, 3135, 300));

    auto* label3 = new QLabel(QStringLiteral("読込み間隔"), client_);
    label3->setObjectName(QStringLiteral("Label3"));
    label3->setGeometry(TwipGeometry(6000, 60, 1095, 255));

    combo2_ = new QComboBox(client_);
    combo2_->setObjectName(QStringLiteral("Combo2"));
    combo2_->setGeometry(TwipGeometry(6960, 0, 1215, 300));

    connect(combo1_, &QComboBox::activated, this, [this](int) {
        if (events_ != nullptr) events_->Combo1_Click();
    });
    connect(combo2_, &QComboBox::activated, this, [this](int) {
        if (events_ != nullptr) events_->Combo2_Click();
    });

    picture1_ = new QtSurface(client_);
    picture1_->move(Px(0), Px(360));
    picture1_->SetSizeTwips(12135, 7935);

    // Aligned to the bottom edge over the lower part of Picture1, as designed.
    statusBar1_ = new QStatusBar(client_);
    statusBar1_->setObjectName(QStringLiteral("StatusBar1"));
    statusBar1_->setSizeGripEnabled(false);
    const int stretches[4] = {3, 2, 2, 2};
    for (int i = 0; i < 4; ++i) {
        panels_[static_cast<std::size_t>(i)] = new QLabel(statusBar1_);
        panels_[static_cast<std::size_t>(i)]->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
        panels_[static_cast<std::size_t>(i)]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        statusBar1_->addPermanentWidget(panels_[static_cast<std::size_t>(i)], stretches[i]);
    }
    statusBar1_->raise();

    client_->setMinimumSize(0, 0);
    resize(Px(kClientWidth), Px(kClientHeight) + menuBar()->sizeHint().height());
}

void QtMainWindow::SetEvents(WindowEvents* events) {
    events_ = events;
    picture1_->SetEvents(events);
}

void QtMainWindow::SetCaption(const std::string& caption) { setWindowTitle(Q(caption)); }

void QtMainWindow::SetMenuEnabled(Menu menu, bool enabled) { actions_.at(menu)->setEnabled(enabled); }

void QtMainWindow::SetComboItems(Combo combo, const std::vector<std::string>& items) {
    QComboBox* box = ComboOf(combo);
    const QSignalBlocker block(box);
    box->clear();
    for (const auto& item : items) box->addItem(Q(item));
    box->setCurrentIndex(-1);
}

void QtMainWindow::SelectComboItem(Combo combo, int index) {
    QComboBox* box = ComboOf(combo);
    const QSignalBlocker block(box);
    box->setCurrentIndex(index);
}

int QtMainWindow::ComboIndex(Combo combo) const { return ComboOf(combo)->currentIndex(); }

std::string QtMainWindow::ComboText(Combo combo) const {
    const QComboBox* box = ComboOf(combo);
    return box->currentIndex() < 0 ? std::string() : box->currentText().toStdString();
}

void QtMainWindow::SetText1(const std::string& text) { text1_->setText(Q(text)); }

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

void QtMainWindow::SetPicture1Size(double width, double height) { picture1_->SetSizeTwips(width, height); }

double QtMainWindow::Picture1Width() const { return picture1_->WidthTwips(); }

double QtMainWindow::Picture1Height() const { return picture1_->HeightTwips(); }

int QtMainWindow::PointerYOnPicture1() const { return picture1_->LastClickY(); }

void QtMainWindow::Close() { close(); }

void QtMainWindow::SetPanel(int panel, const std::string& text) {
    if (panel < 1 || panel > 4) return;
    panels_[static_cast<std::size_t>(panel - 1)]->setText(Q(text));
}

std::string QtMainWindow::PanelText(int panel) const {
    return panels_[static_cast<std::size_t>(panel - 1)]->text().toStdString();
}

void QtMainWindow::closeEvent(QCloseEvent* event) {
    if (destroyed_ || events_ == nullptr) {
        event->accept();
        return;
    }
    bool cancel = false;
    events_->Form_QueryUnload(cancel);
    if (cancel) {
        event->ignore();
        return;
    }
    events_->Form_Unload();
    destroyed_ = true;
    event->accept();
}

void QtMainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && events_ != nullptr && !destroyed_) events_->Form_Resize();
}

bool QtMainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == client_ && event->type() == QEvent::Resize) {
        const int barHeight = Px(kStatusBarHeight);
        statusBar1_->setGeometry(0, client_->height() - barHeight, client_->width(), barHeight);
        statusBar1_->raise();
        if (events_ != nullptr && !destroyed_) events_->Form_Resize();
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace norvale
