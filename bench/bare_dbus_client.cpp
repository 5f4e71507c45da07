// The floor any Qt program pays for one message: a QtDBus client with no widgets and no handling that
// hears ItemChanged on its main thread and pokes the acknowledgement back, waiting for the reply as
// Velmor does. It opens the same four links as Velmor, to the DDE application named by its argument.
#include "dde_topic_proxy.h"
#include "hvlink/dde_items.h"

#include <QCoreApplication>
#include <QDBusConnection>

#include <cstdio>
#include <memory>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const QString application = arguments.value(1, velmor::HomeVisionApplication);
    const QString service = QStringLiteral("org.velmor.DDE.") + application;
    const QString path = QLatin1Char('/') + velmor::HomeVisionTopic;
    const QDBusConnection bus = QDBusConnection::sessionBus();

    const velmor::DdeLinks<std::shared_ptr<DdeTopicProxy>> links = velmor::DdeItems.map(
        [&](const QLatin1String&) { return std::make_shared<DdeTopicProxy>(service, path, bus); });
    QString acknowledgement = velmor::DdeDesignCaptions.DDEMessageAcknowledge;
    const auto acknowledge = [&](const QString& item, const QString&) {
        if (item != velmor::DdeItems.DDEMessage)
            return;
        acknowledgement = acknowledgement == velmor::FirstAcknowledgement ? velmor::SecondAcknowledgement
                                                                          : velmor::FirstAcknowledgement;
        links.DDEMessageAcknowledge->Poke(velmor::DdeItems.DDEMessageAcknowledge, acknowledgement)
            .waitForFinished();
    };

    // In Velmor's order: each link initiated in turn, the message link listening before the next one.
    bool answered = true;
    links.forEach([&](velmor::HvLabel label, const std::shared_ptr<DdeTopicProxy>& link) {
        QDBusPendingReply<> reply = link->Initiate();
        reply.waitForFinished();
        answered = answered && !reply.isError();
        if (label == velmor::HvLabel::DDEMessage) {
            QObject::connect(link.get(), &DdeTopicProxy::ItemChanged, &app, acknowledge);
            link->Advise(velmor::DdeItems.DDEMessage).waitForFinished();
        }
    });
    if (!answered) {
        std::fprintf(stderr, "nobody serves %s\n", qUtf8Printable(service));
        return 1;
    }
    return QCoreApplication::exec();
}
