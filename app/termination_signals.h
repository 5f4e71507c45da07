#pragma once

#include <QObject>

class QSocketNotifier;

namespace velmor {

// Turns SIGINT and SIGTERM into a signal on the event loop, so that a terminal's Ctrl-C or a
// supervisor's stop closes the window the ordinary way and shutdown runs.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

Q_SIGNALS:
    void terminationRequested();

private:
    void drain();

    QSocketNotifier* m_notifier = nullptr;
};

} // namespace velmor
