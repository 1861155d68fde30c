#pragma once
// The window of the clock page over its model (DateTimeConfig): the date and
// time pickers with STORE under them on the left, the relay's date and time
// on the right, OK at the bottom right. It runs the page's 1.5 s timer and
// shows the notice window when STORE needs a connection.
//
// Use:
//   DateTimeConfigView view(host, dateTime, mainWindow);
//   view.Form_Load();
//   view.exec();   // returns once the page closed
// The window is application-modal and no child of the main window; it is
// sized and placed as the setpoint pages are.

#include "pages/Aviso_grabacion.h"
#include "pages/DateTimeConfig.h"

#include <QDialog>
#include <QPointer>
#include <QTimer>

class QDateEdit;
class QLabel;
class QPushButton;
class QTimeEdit;

namespace kova {

class DateTimeConfigView : public QDialog {
    Q_OBJECT
public:
    DateTimeConfigView(PageHost& host, DateTimeConfig::Empaquetar_Reloj dateTime, QWidget* mainWindow);
    ~DateTimeConfigView() override;

    DateTimeConfig& model() { return model_; }
    // Sizes the window and runs the page's load.
    void Form_Load();

    QDateEdit* DateSys() const { return DateSys_; }
    QTimeEdit* TimeSys() const { return TimeSys_; }
    QLabel* lblFecha() const { return lblFecha_; }
    QLabel* lblHora() const { return lblHora_; }
    QPushButton* Store() const { return Store_; }
    QPushButton* Okey() const { return Okey_; }
    const QTimer& Timer1() const { return Timer1_; }
    // The notice window while it is open.
    Aviso_grabacion* aviso() const { return aviso_; }

public slots:
    // Escape closes the page at once.
    void reject() override;

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void build();
    void place(QWidget* mainWindow);
    // Labels and timer as the model says.
    void mostrar();
    void mostrarAviso();
    bool confirmar();

    DateTimeConfig model_;
    QWidget* mainWindow_;
    QDateEdit* DateSys_ = nullptr;
    QTimeEdit* TimeSys_ = nullptr;
    QLabel* lblFecha_ = nullptr;
    QLabel* lblHora_ = nullptr;
    QPushButton* Store_ = nullptr;
    QPushButton* Okey_ = nullptr;
    QTimer Timer1_;
    QPointer<Aviso_grabacion> aviso_;
    bool activada_ = false;
};

} // namespace kova
