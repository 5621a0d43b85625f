#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>

#include "platform/clock.h"
#include "ui/elidelabel.h"  // the status strip's labels, complete for every caller
#include "ui/framebar.h"

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QSystemTrayIcon;
class QTreeView;

namespace zenrun {

class WebPane;

// The main window as a form: its controls, menus, tray icon and timers, under the names
// the client's logic uses. It holds no logic; the handlers are wired by the client.
class Tfrmmain : public QMainWindow {
    Q_OBJECT
public:
    Tfrmmain(Clock& clock, QWidget* parent = nullptr);
    ~Tfrmmain() override;

    // Visible controls
    WebPane* web1 = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QRadioButton* rb_pptp = nullptr;
    QRadioButton* rb_lp2p = nullptr;
    QComboBox* IPAddrTxt = nullptr;
    QComboBox* AreaTxt2 = nullptr;
    QLabel* sLabel5 = nullptr;
    QComboBox* routetype = nullptr;
    QPushButton* btn_speed = nullptr;
    QPushButton* cesu = nullptr;
    QCheckBox* sCheckBox1 = nullptr;
    QPushButton* btn_conn = nullptr;
    QPushButton* btn_disconn = nullptr;
    WebPane* web2 = nullptr;
    QLineEdit* linenametxt = nullptr;
    QPushButton* linenamesearch = nullptr;
    QTreeView* vt1 = nullptr;
    QFrame* Panel1 = nullptr;
    // The status strip: each label shortens its text with "…" and shows it whole as a tooltip.
    ElideLabel* statuslabel = nullptr;
    ElideLabel* datalabel = nullptr;
    ElideLabel* userlabel = nullptr;
    ElideLabel* localiplabel = nullptr;
    ElideLabel* linelabel = nullptr;
    ElideLabel* protocollabel = nullptr;
    // Captions of the area, line and protocol choices (texts set by the language switch)
    QLabel* sLabel2 = nullptr;
    QLabel* sLabel3 = nullptr;
    QLabel* sLabel4 = nullptr;

    // Controls that hold values off screen
    QComboBox* AreaTxt = nullptr;
    QComboBox* com_game = nullptr;
    QLabel* LabelSpeed = nullptr;
    QLabel* LabelDataXmit = nullptr;
    QLabel* LabelDataRecv = nullptr;
    QLabel* connname = nullptr;
    QLabel* clientip = nullptr;
    QLabel* serverip = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* sLabel1 = nullptr;
    QWidget* pan_button = nullptr;
    QLabel* lbl_info = nullptr;
    QPushButton* btn_zz = nullptr;
    QStatusBar* sb001 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    FrameBar sb;
    FrameBar::Item* _zz = nullptr;
    FrameBar::Item* _XZ = nullptr;

    // Hidden at start
    QPushButton* btn_conn2 = nullptr;
    QPushButton* sButton1 = nullptr;
    QPushButton* sButton2 = nullptr;

    // Main menu mm1
    QMenu* N2 = nullptr;
    QAction* N11 = nullptr;
    QAction* N4 = nullptr;
    QAction* N10 = nullptr;
    QMenu* H1 = nullptr;
    QAction* V1 = nullptr;
    QAction* A1 = nullptr;
    QAction* N12 = nullptr;
    QAction* N13 = nullptr;
    QAction* N1 = nullptr;
    QMenu* O1 = nullptr;
    QAction* N14 = nullptr;
    QAction* L2TPQ1 = nullptr;
    QAction* N15 = nullptr;
    QAction* onechangeline = nullptr;

    // Tray icon and its menu
    QSystemTrayIcon* RzTrayIcon1 = nullptr;
    QMenu* taskmenu1 = nullptr;
    QAction* N9 = nullptr;
    QAction* N7 = nullptr;
    QAction* N5 = nullptr;
    QAction* N6 = nullptr;
    QAction* N16 = nullptr;
    QAction* N8 = nullptr;

    // Popup menu of the line list
    QMenu* linemenu = nullptr;

    // Timers (all disabled at start)
    std::unique_ptr<Timer> mainshow;
    std::unique_ptr<Timer> Timer1;
    std::unique_ptr<Timer> Timer2;
    std::unique_ptr<Timer> rast12;
    std::unique_ptr<Timer> statuscheck;
    std::unique_ptr<Timer> dialupcheck;
    std::unique_ptr<Timer> dialupstatus;
    std::unique_ptr<Timer> autodialstatus;
    std::unique_ptr<Timer> autochangeline;
    std::unique_ptr<Timer> onechangetime;
    std::unique_ptr<Timer> vercheck;

    // Relay address and password: public fields nothing in the client fills.
    QString str_fwip;
    QString str_fwpass;

    void centreOnScreen();

    // Window events, wired by the client.
    std::function<void()> onShow;
    std::function<bool()> onCloseQuery;  // false refuses the close
    std::function<void()> onClose;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void buildOffstage();
    void buildMenus();

    QWidget* offstage_ = nullptr;  // never shown: parent of the value-holding controls
};

}  // namespace zenrun
