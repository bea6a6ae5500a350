// frmGrp on Qt: the controls at their designed places. It forwards every event to the core
// handlers and holds no logic of its own.
#pragma once

#include <QMainWindow>
#include <array>
#include <map>

#include "platform/StatusBar.h"
#include "platform/Window.h"
#include "platform/WindowEvents.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QStatusBar;

namespace norvale {

class QtSurface;

class QtMainWindow : public QMainWindow, public Window, public StatusBar {
    Q_OBJECT
public:
    QtMainWindow();

    void SetEvents(WindowEvents* events);
    QtSurface& Picture1() { return *picture1_; }
    QAction* MenuAction(Menu menu) const { return actions_.at(menu); }
    bool Destroyed() const { return destroyed_; }

    // Window
    void SetCaption(const std::string& caption) override;
    void SetMenuEnabled(Menu menu, bool enabled) override;
    void SetComboItems(Combo combo, const std::vector<std::string>& items) override;
    void SelectComboItem(Combo combo, int index) override;
    int ComboIndex(Combo combo) const override;
    std::string ComboText(Combo combo) const override;
    void SetText1(const std::string& text) override;
    WindowState State() const override;
    TwipRect Frame() const override;
    void MoveTo(double left, double top) override;
    double ScreenWidth() const override;
    double ScreenHeight() const override;
    double ClientWidth() const override;
    double ClientHeight() const override;
    void SetPicture1Size(double width, double height) override;
    double Picture1Width() const override;
    double Picture1Height() const override;
    int PointerYOnPicture1() const override;
    void Close() override;

    // StatusBar
    void SetPanel(int panel, const std::string& text) override;
    std::string PanelText(int panel) const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QComboBox* ComboOf(Combo combo) const { return combo == Combo::SortKey ? combo1_ : combo2_; }

    WindowEvents* events_ = nullptr;
    QWidget* client_ = nullptr;
    QtSurface* picture1_ = nullptr;
    QComboBox* combo1_ = nullptr;
    QComboBox* combo2_ = nullptr;
    QLineEdit* text1_ = nullptr;
    QStatusBar* statusBar1_ = nullptr;
    std::array<QLabel*, 4> panels_{};
    std::map<Menu, QAction*> actions_;
    bool destroyed_ = false;
};

}  // namespace norvale
