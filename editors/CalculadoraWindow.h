#pragma once
// The keypad window: digit, point and CE buttons, OK and Cancel, and the
// labels with the old value, the range and the increments. Application
// modal. Every way of closing other than an accepted OK runs Cancel, so the
// block always describes the old value or an accepted one.
// Typed keys click the matching button: 0-9, "." (and ","), Backspace the
// CE button, Return or Enter OK (on the focused Cancel or CE, that button),
// Escape Cancel.

#include "editors/Calculadora.h"

#include <QDialog>
#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
class QGroupBox;

namespace kova {

class CalculadoraWindow : public QDialog {
    Q_OBJECT
public:
    explicit CalculadoraWindow(KeypadBlock& block, QWidget* parent = nullptr);

    // Creates the window over parent (for placement only), runs it modally
    // on the shared block and returns when it has closed.
    static void run(QWidget* parent);

    QLineEdit* Pantalla() const { return pantalla_; }
    QPushButton* Numeros(int i) const { return numeros_[static_cast<size_t>(i)]; }
    QPushButton* Command1() const { return ce_; }
    QPushButton* Command2() const { return point_; }
    QPushButton* OK() const { return ok_; }
    QPushButton* Cancel() const { return cancel_; }

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void Form_Load();
    void refresh();
    void OK_Click();
    // A fault text in the program's message box.
    static void showMessage(const QString& text);
    // The button a typed key stands for; null for any other key.
    QPushButton* buttonForKey(const QKeyEvent& e) const;

    Calculadora model_;
    bool done_ = false;
    QLabel* titulo_;
    QLabel* viejo_;
    QLabel* rango_;
    QLabel* incremento_;
    QLabel* incrementoB_;
    QLabel* incrementoC_;
    QGroupBox* frame1_;
    QLineEdit* pantalla_;
    std::array<QPushButton*, 10> numeros_{};
    QPushButton* ce_;
    QPushButton* point_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

} // namespace kova
