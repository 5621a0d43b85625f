#pragma once

#include <QDialog>
#include <functional>

class QListWidget;
class QPushButton;

namespace zenrun {

// The speed-test dialog: one line per echo request of the single-line test, and the retry
// button. Not modal; closing it only hides it.
class TForm1 : public QDialog {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);

    QListWidget* ListBox1 = nullptr;
    QPushButton* Button1 = nullptr;  // retry

    std::function<void()> onShow;

protected:
    void showEvent(QShowEvent* event) override;
};

}  // namespace zenrun
