// The main window on Qt: the controls at their designed places. It forwards every event to
// the core's handlers and holds no logic of its own.
#pragma once

#include <QMainWindow>
#include <array>
#include <functional>
#include <map>

#include "app/WindowLayout.h"
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
    QtSurface& TableSurface() { return *tableSurface_; }
    QAction* MenuAction(MenuItem item) const { return actions_.at(item); }
    bool Destroyed() const { return destroyed_; }
    // Runs place once, as soon as the window manager has framed the shown window: only then
    // is the outer frame's size known. Without a frame within two seconds (no window manager)
    // nothing runs: the frame is then the window itself, as it was placed.
    void PlaceWhenFramed(std::function<void()> place);

    // Window
    void SetCaption(const std::string& caption) override;
    void SetMenuEnabled(MenuItem item, bool enabled) override;
    void SetListItems(DropDown list, const std::vector<std::string>& items) override;
    void SelectListItem(DropDown list, int index) override;
    int SelectedIndex(DropDown list) const override;
    std::string SelectedText(DropDown list) const override;
    void SetCodeBoxText(const std::string& text) override;
    WindowState State() const override;
    TwipRect Frame() const override;
    void MoveTo(double left, double top) override;
    double ScreenWidth() const override;
    double ScreenHeight() const override;
    double ClientWidth() const override;
    double ClientHeight() const override;
    void SetTableSurfaceSize(double width, double height) override;
    double TableSurfaceWidth() const override;
    double TableSurfaceHeight() const override;
    int PointerYOnTable() const override;
    void Close() override;

    // StatusBar
    void SetPanel(StatusPanel panel, const std::string& text) override;
    std::string PanelText(StatusPanel panel) const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QComboBox* ListOf(DropDown list) const { return list == DropDown::SortKey ? sortKeyList_ : intervalList_; }

    const WindowLayout layout_;
    WindowEvents* events_ = nullptr;
    QWidget* client_ = nullptr;
    QtSurface* tableSurface_ = nullptr;
    QComboBox* sortKeyList_ = nullptr;
    QComboBox* intervalList_ = nullptr;
    QLineEdit* codeBox_ = nullptr;
    QStatusBar* statusBar_ = nullptr;
    std::array<QLabel*, kStatusPanelCount> panels_{};
    std::map<MenuItem, QAction*> actions_;
    bool destroyed_ = false;
};

}  // namespace norvale
