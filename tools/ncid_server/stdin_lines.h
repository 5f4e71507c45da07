#pragma once

#include <QObject>
#include <QSocketNotifier>

namespace velmor::ncidserver {

// Standard input, read on the event loop one line at a time.
class StdinLines : public QObject {
    Q_OBJECT
public:
    explicit StdinLines(QObject* parent = nullptr);

Q_SIGNALS:
    void lineRead(const QString& line);
    void endOfInput();

private:
    void readAvailable();

    QSocketNotifier m_notifier;
    QByteArray m_pending;
};

} // namespace velmor::ncidserver
