#pragma once
// What the editor's tests share: recorders in place of the message and file-dialog seams, a
// registry that lets each test file add its QObject test class, and save-state files made by code.

#include <QString>
#include <QTemporaryDir>
#include <QtTest>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "file_dialogs.h"
#include "messages.h"
#include "save_state_image.h"

namespace orvane::test {

struct ShownMessage {
    QString text;
    Messages::Icon icon;
};

class RecordingMessages final : public Messages {
public:
    void Show(const QString& text, Icon icon) override { shown.push_back({text, icon}); }
    // The texts shown so far, and forget them.
    QStringList Take();

    std::vector<ShownMessage> shown;
};

// Answers each dialog with the next scripted path; an empty path or an unscripted dialog is a
// cancel.
class ScriptedFileDialogs final : public FileDialogs {
public:
    std::optional<QString> ChooseFileToOpen(QWidget*) override { return Next(opened, openAnswers); }
    std::optional<QString> ChooseFileToSaveAs(QWidget*) override {
        return Next(savedAs, saveAsAnswers);
    }

    QStringList openAnswers;
    QStringList saveAsAnswers;
    int opened = 0;
    int savedAs = 0;

private:
    static std::optional<QString> Next(int& count, QStringList& answers);
};

using Bytes = std::map<std::size_t, std::uint8_t>;

// A save state of kImageSize bytes: a fill pattern that no test reads as meaningful, with the
// given bytes set; written into dir under name.
QString WriteState(const QTemporaryDir& dir, const QString& name, const Bytes& bytes = {});
QByteArray ReadFile(const QString& path);
// Offsets at which two equally long files differ; a size difference is reported as offset -1.
std::vector<long> DiffOffsets(const QByteArray& before, const QByteArray& after);

// Test classes register themselves; the test program runs each in turn.
using TestFactory = std::function<QObject*()>;
int RegisterTest(TestFactory factory);
int RunRegisteredTests(int argc, char** argv);

}  // namespace orvane::test

#define ORVANE_UI_TEST(Class) \
    static const int kRegistered##Class = ::orvane::test::RegisterTest([] { return new Class; })
