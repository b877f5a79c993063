// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor_fixtures.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>

#include "equipment_lists.h"
#include "item_catalog.h"

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

QString WriteState(const QTemporaryDir& dir, const QString& name, const Patch& patch) {
    Bytes bytes = FillerBytes(kClassicSize);
    for (const auto& [offset, value] : patch) {
        bytes.at(offset) = value;
    }
    const QString path = dir.filePath(name);
    WriteBytes(FsPath(path), bytes);
    return path;
}

QString CopyRealState(const QTemporaryDir& dir, const QString& file, QString name) {
    const Bytes bytes = ReadBytes(TestData(file.toStdString()));
    if (bytes.empty()) {
        qFatal("cannot read the real state %s", qPrintable(file));
    }
    const QString path = dir.filePath(name.isEmpty() ? file : name);
    WriteBytes(FsPath(path), bytes);
    return path;
}

QByteArray ReadFile(const QString& path) {
    const Bytes bytes = ReadBytes(FsPath(path));
    return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<qsizetype>(bytes.size()));
}

ItemId ListedItem(int portraitId, EquipmentSlot slot, std::size_t position) {
    static const ItemCatalog catalog;
    std::vector<std::string> names;
    FillEquipmentList(catalog, slot, portraitId, names);
    return catalog.GetItemId(names.at(position));
}

Patch PlausibleParty() {
    struct Portrait {
        CharacterId member;
        int portraitId;
    };
    constexpr Portrait kPortraits[] = {{kCrono, 105}, {kMarle, 109}, {kLucca, 107}, {kRobo, 103},
                                       {kFrog, 106},  {kAyla, 104},  {kMagus, 108}};
    Patch bytes;
    std::uint8_t face = 0;
    for (const auto& [member, portraitId] : kPortraits) {
        bytes[RecordOffset(member, kStatFace)] = face++;
        for (CharacterStat stat : {kStatCurrentHp, kStatMaxHp}) {
            bytes[RecordOffset(member, stat)] = 0x2C;  // 300
            bytes[RecordOffset(member, stat) + 1] = 0x01;
        }
        for (int stat = kStatCurrentMp; stat <= kStatMagicDefence; ++stat) {
            bytes[RecordOffset(member, static_cast<CharacterStat>(stat))] =
                static_cast<std::uint8_t>(10 + stat);
        }
        bytes[RecordOffset(member, kStatLevel)] = 12;
        bytes[RecordOffset(member, kStatArmor)] =
            ListedItem(portraitId, EquipmentSlot::Armor) & 0xFF;
        bytes[RecordOffset(member, kStatHelmet)] =
            ListedItem(portraitId, EquipmentSlot::Helmet) & 0xFF;
        bytes[RecordOffset(member, kStatWeapon)] =
            ListedItem(portraitId, EquipmentSlot::Weapon) & 0xFF;
        bytes[RecordOffset(member, kStatAccessory)] =
            ListedItem(portraitId, EquipmentSlot::Accessory) & 0xFF;
    }
    return bytes;
}

Session::Session() = default;

void Session::Show() {
    Sheet().show();
    QApplication::setActiveWindow(&Sheet());
    if (!QTest::qWaitForWindowActive(&Sheet())) {
        qWarning("the sheet did not become active");
    }
}

void Session::Open(const QString& path) {
    dialogs.openAnswers << path;
    Sheet().Open();
}

void Session::SaveAs(const QString& path) {
    dialogs.saveAsAnswers << path;
    Sheet().SaveAs();
}

void Session::Type(int tab, const char* edit, const QString& text) {
    auto* control = Find<QLineEdit>(tab, edit);
    control->selectAll();
    QTest::keyClick(control, Qt::Key_Delete);
    QTest::keyClicks(control, text);
}

void Session::Choose(int tab, const char* list, const QString& entry) {
    auto* control = Find<QComboBox>(tab, list);
    const int index = control->findText(entry, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (index < 0) {
        qFatal("%s has no entry %s", list, qPrintable(entry));
    }
    control->setCurrentIndex(index);
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
