#include "tools/music_library/music_library_writer.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("velmor-music-library"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Writes a small library of tagged FLAC tracks (sox + metaflac) into DIR."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("DIR"),
                                 QStringLiteral("the folder to write the tracks into"));
    const QCommandLineOption secondsOption(QStringLiteral("seconds"),
                                           QStringLiteral("make every track this many seconds long"),
                                           QStringLiteral("seconds"));
    parser.addOption(secondsOption);
    parser.process(app);

    const QStringList folders = parser.positionalArguments();
    if (folders.size() != 1)
        parser.showHelp(2);
    std::optional<double> seconds;
    if (parser.isSet(secondsOption)) {
        bool ok = false;
        seconds = parser.value(secondsOption).toDouble(&ok);
        if (!ok || !(*seconds > 0) || *seconds > 3600) {
            std::fprintf(stderr, "velmor-music-library: --seconds wants a length between 0 and 3600\n");
            return 2;
        }
    }
    if (const std::optional<QString> failure = velmor::tools::writeMusicLibrary(folders.first(), seconds)) {
        std::fprintf(stderr, "velmor-music-library: %s\n", qUtf8Printable(*failure));
        return 1;
    }
    return 0;
}
