#pragma once
// The relay properties window: the programmer's name, the relay's name and
// the observations that travel with the setpoints in setpoint files, and the
// firmware text of the setpoint data (shown, never taken back).

#include <QDialog>

class QLineEdit;

namespace kova {

class Manejo_de_Archivos;

class Propiedades : public QDialog {
    Q_OBJECT
public:
    // The texts live in the file routines; `principal` is the main window,
    // disabled while this window is open.
    Propiedades(Manejo_de_Archivos& archivos, QWidget& principal, QWidget* parent = nullptr);
    ~Propiedades() override;

    void Form_Load();
    void Okey_Click();
    void Cancel_Click();

    QLineEdit* Text1() const { return Text1_; }
    QLineEdit* Text2() const { return Text2_; }
    QLineEdit* Text3() const { return Text3_; }
    QLineEdit* Text5() const { return Text5_; }

public slots:
    // Every way of closing (OK, Cancel, Escape, the window frame) ends here
    // and enables the main window.
    void done(int result) override;

private:
    Manejo_de_Archivos& archivos_;
    QWidget& principal_;
    QLineEdit* Text1_ = nullptr;
    QLineEdit* Text2_ = nullptr;
    QLineEdit* Text3_ = nullptr;
    QLineEdit* Text5_ = nullptr;
};

} // namespace kova
