// SPDX-License-Identifier: GPL-3.0-or-later
// The file types of dist/org.orvane.save-state.xml as Qt resolves them beside the system's own,
// as KDE's file managers do: real states under their emulators' names, and files of such names
// that hold something else. dist/check asks GIO the same. Both desktop entries, both metainfo
// files and the icons must follow every type the XML defines.

#include <QFile>
#include <QMimeDatabase>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtEndian>
#include <QtTest>

#include "fixtures.h"

using namespace orvane::test;

namespace {

const QString kDist = QStringLiteral(ORVANE_DIST_DIR);
const QString kZsnes = QStringLiteral("application/x-zsnes-save-state");
const QString kSnes9x = QStringLiteral("application/x-snes9x-save-state");
const QString kRetroArch = QStringLiteral("application/x-retroarch-save-state");
const QString kMednafen = QStringLiteral("application/x-mednafen-save-state");
const QString kMesen = QStringLiteral("application/x-mesen-save-state");
const QString kBsnes = QStringLiteral("application/x-bsnes-save-state");
const QString kBattery = QStringLiteral("application/x-snes-battery-save");

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A state that a real emulator wrote (tests/data).
QByteArray Emulated(const char* name) {
    return Contents(QString::fromStdString(TestData(name).string()));
}

// What RetroArch's wrapper holds in its first block: the core's own data.
QByteArray CoreData(const char* name) {
    const QByteArray state = Emulated(name);
    if (state.size() < 16 || !state.startsWith("RASTATE\x01MEM ")) {
        return {};
    }
    const auto length = qFromLittleEndian<quint32>(state.constData() + 12);
    return state.mid(16, length);
}

// The values of ELEMENT's ATTRIBUTE, or of its text when ATTRIBUTE is empty, in an XML file.
QStringList Values(const QString& path, const QString& element, const QString& attribute = {}) {
    QXmlStreamReader reader(Contents(path));
    QStringList values;
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == element) {
            values << (attribute.isEmpty() ? reader.readElementText()
                                           : reader.attributes().value(attribute).toString());
        }
    }
    values.sort();
    return values;
}

}  // namespace

class FileTypes : public QObject {
    Q_OBJECT

private slots:
    // The package's types join the system's as an installed package's do, in a data folder of
    // this run's own.
    void initTestCase() {
        QVERIFY(m_data.isValid());
        QVERIFY(QDir().mkpath(m_data.filePath(QStringLiteral("mime/packages"))));
        QVERIFY(QFile::copy(kDist + QStringLiteral("/org.orvane.save-state.xml"),
                            m_data.filePath(QStringLiteral("mime/packages/orvane.xml"))));
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_data.path()));
        QVERIFY(QMimeDatabase().mimeTypeForName(kRetroArch).isValid());
    }

    void EachFileResolvesByNameAndContent_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("type");
        const auto add = [](const char* name, const QByteArray& content, const QString& type) {
            QVERIFY2(!content.isEmpty(), name);
            QTest::newRow(name) << QString::fromLatin1(name) << content << type;
        };
        const char* md5 = "3bae01f61b9d1d3b3256f046c13c125d";
        add("state.zst", Emulated("state-1.42.zst"), kZsnes);
        add("game.000", Emulated("snes9x-1.63.000"), kSnes9x);
        add("game.state", Emulated("retroarch-1.14-snes9x-1.63.state"), kRetroArch);
        add("game.state1", Emulated("retroarch-1.14-bsnes-115.state"), kRetroArch);
        add("game.state.auto", Emulated("retroarch-1.14-bsnes-mercury-balanced.state"), kRetroArch);
        add("rzip.state", Emulated("retroarch-1.14-snes9x-1.63-rzip.state"), kRetroArch);
        add("bare.state", CoreData("retroarch-1.14-bsnes-115.state"), kRetroArch);
        add("bare.state2", CoreData("retroarch-1.14-snes9x-1.63.state"), kSnes9x);
        add(qPrintable(QStringLiteral("game.%1.mc0").arg(md5)),
            Emulated("mednafen-1.29-snes_faust.mc0"), kMednafen);
        add(qPrintable(QStringLiteral("game.%1.mca").arg(md5)), Emulated("mednafen-1.29-snes.mc0"),
            kMednafen);
        add("game_1.mss", Emulated("mesen2-2.1.1.mss"), kMesen);
        add("game.bsz", Emulated("bsnes-115.bsz"), kBsnes);
        // A .bsz without its name is known by its first entry only once the types are compiled
        // into one database, as installing does (dist/check asks GIO): here the system's compiled
        // ZIP rule is read apart from this XML, and Qt takes it first.
        add("Chrono Trigger.srm", Emulated("one-slot.srm"), kBattery);
        add(qPrintable(QStringLiteral("game.%1.srm").arg(md5)), Emulated("one-slot.srm"), kBattery);
        // RetroArch's names have no glob: what else they hold stays what it is.
        add("notes.state", "Slot 3: before the boss; slot 4: after it.\n",
            QStringLiteral("text/plain"));
        add("picture.state1", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16),
            QStringLiteral("image/png"));
    }

    void EachFileResolvesByNameAndContent() {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, type);
        QTemporaryDir folder;
        QFile file(folder.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
        file.close();
        QCOMPARE(QMimeDatabase().mimeTypeForFile(file.fileName()).name(), type);
    }

    // A type that an entry leaves out opens in no program; one without its icon shows a blank.
    void EveryTypeHasItsProgramsAndIcon() {
        const QString xml = kDist + QStringLiteral("/org.orvane.save-state.xml");
        const QStringList types = Values(xml, QStringLiteral("mime-type"), QStringLiteral("type"));
        QCOMPARE(types,
                 (QStringList{kBsnes, kMednafen, kMesen, kRetroArch, kBattery, kSnes9x, kZsnes}));
        for (const QString& program : {QStringLiteral("orvane"), QStringLiteral("tellim")}) {
            const QString id = kDist + QStringLiteral("/org.orvane.") + program;
            const QString entry = QString::fromUtf8(Contents(id + QStringLiteral(".desktop")));
            const QRegularExpressionMatch listed =
                QRegularExpression(QStringLiteral("^MimeType=(.*);$"),
                                   QRegularExpression::MultilineOption)
                    .match(entry);
            QStringList entryTypes = listed.captured(1).split(QLatin1Char(';'));
            entryTypes.sort();
            QCOMPARE(entryTypes, types);
            QCOMPARE(Values(id + QStringLiteral(".metainfo.xml"), QStringLiteral("mediatype")),
                     types);
        }
        const QStringList icons = Values(xml, QStringLiteral("icon"), QStringLiteral("name"));
        QCOMPARE(icons.size(), types.size());
        for (const QString& icon : icons) {
            QVERIFY2(
                QFile::exists(kDist + QStringLiteral("/icons/") + icon + QStringLiteral(".svg")),
                qPrintable(icon));
        }
    }

private:
    QTemporaryDir m_data;
};

QTEST_GUILESS_MAIN(FileTypes)
#include "file_type_test.moc"
