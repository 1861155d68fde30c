#pragma once
// The About window.

#include <QDialog>

class QLabel;

namespace kova {

class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);

    QLabel* lblVersion() const { return lblVersion_; }

    void Form_Load();
    void cmdOK_Click();

private:
    QLabel* lblVersion_ = nullptr;
};

} // namespace kova
