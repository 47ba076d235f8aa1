#pragma once
// One program per user: the first start listens on a local socket in the user's runtime folder,
// and a later start hands its arguments to it instead of opening a second window.
#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;
class QLocalSocket;

namespace lbv {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Outcome {
        HandedOver, // a running program took the arguments: this one should exit
        Serving, // this is the first program: it now listens for later ones
        Alone, // neither was possible (no runtime folder, a program that does not answer)
    };

    // `serverPath` is the socket's file; a lock file beside it keeps two starts from racing.
    explicit SingleInstance(QString serverPath, QObject* parent = nullptr);
    ~SingleInstance() override;

    // The socket in the user's runtime folder (XDG_RUNTIME_DIR).
    static QString DefaultServerPath();

    // Hands `arguments` to the running program, or becomes it. Blocks for at most a few seconds.
    Outcome Start(const QStringList& arguments);

Q_SIGNALS:
    // A later start's arguments; it has already been told they arrived. Those that come before
    // anything is connected here (start-up may show a message box) are delivered on connecting.
    void argumentsReceived(const QStringList& arguments);

protected:
    void connectNotify(const QMetaMethod& signal) override;

private:
    bool HandOver(const QStringList& arguments);
    bool Listen();
    void Receive();
    void ReadRequest(QLocalSocket* socket);
    void DeliverHeld();

    const QString serverPath_;
    QLocalServer* server_ = nullptr;
    QList<QStringList> held_;
};

} // namespace lbv
