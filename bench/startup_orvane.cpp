// orvane's start-up as main.cpp performs it, with the first-frame probe on the sheet: the same
// application set-up, seams and optional FILE, so that the product itself needs no test hook.

#include <QApplication>
#include <QCommandLineParser>

#include "editor_app.h"
#include "editor_sheet.h"
#include "file_dialogs.h"
#include "first_frame.h"
#include "messages.h"

int main(int argc, char** argv) {
    QApplication qt(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(orvane::kAppTitle));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Edits a save state of 274047 bytes."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("save state to open"),
                                 QStringLiteral("[FILE]"));
    parser.process(qt);

    std::optional<QString> file;
    if (!parser.positionalArguments().isEmpty()) {
        file = parser.positionalArguments().front();
    }

    orvane::MessageBoxes messages;
    orvane::PlatformFileDialogs dialogs;
    orvane::EditorApp app(messages, dialogs);
    orvane::bench::ReportFirstFrame(app.Sheet());
    app.Start(file);
    return qt.exec();
}
