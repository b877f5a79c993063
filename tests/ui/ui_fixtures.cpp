#include "ui_fixtures.h"

#include <QFile>

namespace orvane::test {

QStringList RecordingMessages::Take() {
    QStringList texts;
    for (const ShownMessage& message : shown) {
        texts << message.text;
    }
    shown.clear();
    return texts;
}

std::optional<QString> ScriptedFileDialogs::Next(int& count, QStringList& answers) {
    ++count;
    const QString answer = answers.isEmpty() ? QString() : answers.takeFirst();
    if (answer.isEmpty()) {
        return std::nullopt;
    }
    return answer;
}

QString WriteState(const QTemporaryDir& dir, const QString& name, const Bytes& bytes) {
    QByteArray image(static_cast<qsizetype>(kImageSize), '\0');
    for (std::size_t i = 0; i < kImageSize; ++i) {
        image[static_cast<qsizetype>(i)] = static_cast<char>((i * 7 + 3) % 251);
    }
    for (const auto& [offset, value] : bytes) {
        image[static_cast<qsizetype>(offset)] = static_cast<char>(value);
    }
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(image) != image.size()) {
        qFatal("cannot write the fixture %s", qPrintable(path));
    }
    return path;
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::vector<long> DiffOffsets(const QByteArray& before, const QByteArray& after) {
    if (before.size() != after.size()) {
        return {-1};
    }
    std::vector<long> offsets;
    for (qsizetype i = 0; i < before.size(); ++i) {
        if (before[i] != after[i]) {
            offsets.push_back(static_cast<long>(i));
        }
    }
    return offsets;
}

namespace {
std::vector<TestFactory>& Registry() {
    static std::vector<TestFactory> registry;
    return registry;
}
}  // namespace

int RegisterTest(TestFactory factory) {
    Registry().push_back(std::move(factory));
    return static_cast<int>(Registry().size());
}

int RunRegisteredTests(int argc, char** argv) {
    int failures = 0;
    for (const TestFactory& factory : Registry()) {
        std::unique_ptr<QObject> test(factory());
        failures += QTest::qExec(test.get(), argc, argv);
    }
    return failures;
}

}  // namespace orvane::test
