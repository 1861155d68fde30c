#pragma once
// The connection window: COM port, baud rate and slave address of the relay,
// the choice between a direct RS485/422 line and a modem, and the commands to
// connect ("ON"), to work without a relay ("OFF"), to keep the settings
// ("OK") and to leave ("Cancel"). Form_Load, Command1_Click and
// Command2_Click also run without the window being shown.

#include "app/AppState.h"
#include "app/Programacion_Modem.h"
#include "platform/QtSerialPort.h"

#include <QDialog>
#include <QTimer>

class QButtonGroup;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kova {

class AppContext;
class Byte_UnRWidget;
class Principal;

class Comunicacion : public QDialog {
    Q_OBJECT
public:
    Comunicacion(AppState& state, AppContext& context, Principal& principal, QWidget* parent = nullptr);
    ~Comunicacion() override;

    void Form_Load();
    // Connect. False when the connect was abandoned or the port did not open.
    bool Command1_Click();
    // Work without relay.
    void Command2_Click();
    void Okey_Click();
    void Cancelar_Click();
    void Option1_Click(int index);
    void Text1_Change();
    void TmrStateCom_Timer();
    // "OK" of the frame "Remote Modem Programing": programs the modem with
    // the frame's choices; the window's buttons are disabled meanwhile.
    void Modem_Click();
    Programacion_Modem& programacionModem() { return modem_; }

    // Link status text of the window.
    void setLabel6(const QString& text);

    QComboBox* Combo1() const { return Combo1_; }
    QComboBox* Combo2() const { return Combo2_; }
    QComboBox* Combo3() const { return Combo3_; }
    QComboBox* Combo4() const { return Combo4_; }
    Byte_UnRWidget* Byte_UnR1() const { return Byte_UnR1_; }
    QLabel* Label6() const { return Label6_; }
    QLineEdit* Text1() const { return Text1_; }
    QRadioButton* Option1(int index) const;
    QFrame* Botones() const { return Botones_; }
    const QTimer& TmrStateCom() const { return TmrStateCom_; }

    static const QString kStablished;
    static const QString kNotStablished;

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void build();
    void writePanels();
    void showLinkState();
    // Port and baud from the lists; a list without a choice keeps the setting.
    void settingsFromLists();

    AppState& st_;
    AppContext& ctx_;
    Principal& principal_;

    QComboBox* Combo1_ = nullptr;
    QComboBox* Combo2_ = nullptr;
    QComboBox* Combo3_ = nullptr;
    QComboBox* Combo4_ = nullptr;
    QComboBox* Combo5_ = nullptr;
    Byte_UnRWidget* Byte_UnR1_ = nullptr;
    QRadioButton* Option1_[2] = {};
    QLineEdit* Text1_ = nullptr;
    QLabel* Label6_ = nullptr;
    QFrame* Botones_ = nullptr;
    QPushButton* Cancelar_ = nullptr;
    QTimer TmrStateCom_;
    bool connecting_ = false;
    QRadioButton* Option2_[2] = {};
    // The modem's own port, open only while a programming runs.
    QtSerialPort modemPort_;
    Programacion_Modem modem_;
    bool programming_ = false;
};

} // namespace kova
