#pragma once
// A notice window: a notice icon, a message and "Aceptar", which closes it.
// The caller sets its caption and message and shows it (not modal).

#include <QDialog>

class QLabel;
class QPushButton;

namespace kova {

class Aviso_grabacion : public QDialog {
    Q_OBJECT
public:
    explicit Aviso_grabacion(QWidget* parent = nullptr);

    QLabel* Label1() const { return Label1_; }
    QPushButton* Command1() const { return Command1_; }

private:
    QLabel* Label1_ = nullptr;
    QPushButton* Command1_ = nullptr;
};

} // namespace kova
