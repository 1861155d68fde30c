#pragma once
// The busy cursor of a connect: from ON until the first passed reply, the
// link error, or whatever else ends the connecting (OFF, a file loaded, the
// port closed). It shows over every window of the program (an application
// override cursor) and is restored on every end, also when the program ends.

#include <QObject>
#include <QTimer>

#include <functional>

namespace kova {

class CursorConectando : public QObject {
    Q_OBJECT
public:
    // conectando: whether the connect is still waiting for its first reply.
    explicit CursorConectando(std::function<bool()> conectando, QObject* parent = nullptr);
    ~CursorConectando() override;

    // Shows the busy cursor for as long as the connect runs.
    void iniciar();
    // Restores the cursor at once when the connect has ended.
    void revisar();
    bool activo() const { return activo_; }

private:
    void terminar();

    std::function<bool()> conectando_;
    // The end of a connect has no single event (a reply, an error, a file
    // loaded): it is looked for while the cursor shows.
    QTimer vigilancia_;
    bool activo_ = false;
};

} // namespace kova
