#pragma once
// The window shown while the program starts.

#include <QWidget>

class QFrame;
class QLabel;

namespace kova {

class frmSplash : public QWidget {
    Q_OBJECT
public:
    explicit frmSplash(QWidget* parent = nullptr);

    QLabel* label(const QString& name) const;

    void Form_Load();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QFrame* Frame1_ = nullptr;
    QLabel* lblVersion_ = nullptr;
};

} // namespace kova
