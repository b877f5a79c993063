// SPDX-License-Identifier: GPL-3.0-or-later
// The Main and Character pages: typed values reach exactly their bytes, stored values the edits
// cannot take are shown and kept, refusals, and what a slot or face without selection keeps.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include "editor_fixtures.h"

namespace orvane::test {

namespace {

struct Change {
    std::size_t offset;
    std::uint8_t value;
};

}  // namespace

class PageTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_path;
    QByteArray m_before;
    std::unique_ptr<Session> m_session;

    // Opens a fresh plausible file with extra bytes set, in a fresh application.
    Session& OpenState(const Patch& extra = {}) {
        Patch bytes = PlausibleParty();
        for (const auto& [offset, value] : extra) {
            bytes[offset] = value;
        }
        m_path = WriteState(m_dir, QStringLiteral("page.zst"), bytes);
        m_before = ReadFile(m_path);
        m_session = std::make_unique<Session>();
        m_session->Show();
        m_session->Open(m_path);
        return *m_session;
    }

    // Saves and checks that exactly the given bytes changed, to the given values.
    void ExpectSavedChanges(const std::vector<Change>& changes) {
        m_session->Sheet().Save();
        QCOMPARE(m_session->messages.Take(), QStringList{"File Saved Successful!"});
        const QByteArray after = ReadFile(m_path);
        std::vector<long> expected;
        for (const Change& change : changes) {
            expected.push_back(static_cast<long>(change.offset));
            QCOMPARE(static_cast<std::uint8_t>(after[static_cast<qsizetype>(change.offset)]),
                     change.value);
        }
        std::sort(expected.begin(), expected.end());
        QCOMPARE(DiffOffsets(m_before, after), expected);
    }

    // Leaving the visible tab is refused with a warning naming the words; focus on the edit.
    void ExpectRefusal(int tab, const char* edit, const QStringList& words) {
        m_session->ShowTab(tab == kMainTab ? kCronoTab : kMainTab);
        QCOMPARE(m_session->Sheet().CurrentIndex(), tab);
        QCOMPARE(m_session->messages.shown.size(), std::size_t{1});
        QCOMPARE(m_session->messages.shown[0].icon, Messages::Icon::Warning);
        const QString text = m_session->messages.Take().front();
        for (const QString& word : words) {
            QVERIFY2(text.contains(word), qPrintable(text));
        }
        auto* control = m_session->Find<QLineEdit>(tab, edit);
        QCOMPARE(QApplication::focusWidget(), control);
        QCOMPARE(control->selectedText(), control->text());
    }

private slots:
    void mainPageValuesReachTheirBytes() {
        Session& session = OpenState();
        session.Type(kMainTab, "gold", "9999999");
        session.Type(kMainTab, "silverPoints", "255");
        session.Type(kMainTab, "saves", "999");
        session.Type(kMainTab, "hourTens", "1");
        session.Type(kMainTab, "hourUnits", "2");
        session.Type(kMainTab, "minuteTens", "3");
        session.Type(kMainTab, "minuteUnits", "4");
        ExpectSavedChanges({{0x3866, 0x7F},
                            {0x3867, 0x96},
                            {0x3868, 0x98},
                            {0x10C65, 0xFF},
                            {0x35AF, 0xE7},
                            {0x35B0, 0x03},
                            {0x1015, 4},
                            {0x1016, 3},
                            {0x1017, 2},
                            {0x1018, 1}});
    }

    void mainPageEditsTakeOnlyDigitsWithinTheirLimits() {
        Session& session = OpenState();
        session.Type(kMainTab, "gold", "12a34567890");
        QCOMPARE(session.Find<QLineEdit>(kMainTab, "gold")->text(), QStringLiteral("1234567"));
        session.Type(kMainTab, "hourTens", "-95");
        QCOMPARE(session.Find<QLineEdit>(kMainTab, "hourTens")->text(), QStringLiteral("9"));
    }

    void silverPointsAbove255AreRefusedWithBothBounds() {
        Session& session = OpenState();
        session.Type(kMainTab, "silverPoints", "256");
        ExpectRefusal(kMainTab, "silverPoints", {"Silver Points", "0", "255"});
        session.Type(kMainTab, "gold", "");
        ExpectRefusal(kMainTab, "gold", {"Gold"});
    }

    void storedValuesLongerThanTheLimitsAreShownAndKept() {
        // Gold 16777215 has eight digits, saves 65535 five, a time byte of 37 two.
        Session& session = OpenState({{0x3866, 0xFF},
                                      {0x3867, 0xFF},
                                      {0x3868, 0xFF},
                                      {0x35AF, 0xFF},
                                      {0x35B0, 0xFF},
                                      {0x1018, 37}});
        QCOMPARE(session.Find<QLineEdit>(kMainTab, "gold")->text(), QStringLiteral("16777215"));
        QCOMPARE(session.Find<QLineEdit>(kMainTab, "saves")->text(), QStringLiteral("65535"));
        QCOMPARE(session.Find<QLineEdit>(kMainTab, "hourTens")->text(), QStringLiteral("37"));
        session.Type(kMainTab, "silverPoints", "1");
        ExpectSavedChanges({{0x10C65, 1}});
    }

    void characterNumbersReachTheirBytes() {
        Session& session = OpenState();
        session.ShowTab(kCronoTab);
        session.Type(kCronoTab, "maxHp", "999");
        session.Type(kCronoTab, "experience", "1234567");
        session.Type(kCronoTab, "experienceToNext", "100000");  // cut to 2 bytes: 34464
        session.Type(kCronoTab, "magicDefence", "99");
        session.ShowTab(kRoboTab);
        session.Type(kRoboTab, "level", "7");
        const std::size_t crono = FindMember(kCrono)->recordStart;
        const std::size_t robo = FindMember(kRobo)->recordStart;
        ExpectSavedChanges({{crono + 5, 0xE7},
                            {crono + 6, 0x03},
                            {crono + 19, 0x87},
                            {crono + 20, 0xD6},
                            {crono + 21, 0x12},
                            {crono + 43, 0xA0},
                            {crono + 44, 0x86},
                            {crono + 17, 99},
                            {robo + 18, 7}});
    }

    void characterListsStoreTheChosenFaceAndItem() {
        Session& session = OpenState();
        session.ShowTab(kCronoTab);
        session.Choose(kCronoTab, "face", "Frog");
        session.ShowTab(kFrogTab);
        session.Choose(kFrogTab, "weapon", "Masamune");
        ExpectSavedChanges(
            {{FindMember(kCrono)->recordStart, 4}, {FindMember(kFrog)->recordStart + 41, 61}});
    }

    void theNameIsEncodedAndRefusedWithOtherCharacters() {
        Session& session = OpenState();
        session.ShowTab(kCronoTab);
        session.Type(kCronoTab, "name", "Al3");
        ExpectRefusal(kCronoTab, "name", {"A to Z", "a to z", "spaces"});
        session.Type(kCronoTab, "name", "Al");
        const std::size_t name = NameOffset(kCrono);
        ExpectSavedChanges(
            {{name, 0xA0}, {name + 1, 0xC5}, {name + 2, 0}, {name + 3, 0}, {name + 4, 0}});
    }

    void characterRangesAndEmptyEditsAreRefused() {
        // A current MP of 150 is shown in full although two digits can be typed.
        Session& session = OpenState({{RecordOffset(kLucca, kStatCurrentMp), 150}});
        session.ShowTab(3);
        QCOMPARE(session.Find<QLineEdit>(3, "currentMp")->text(), QStringLiteral("150"));
        ExpectRefusal(3, "currentMp", {"Current MP", "0", "99"});
        session.Type(3, "currentMp", "99");
        session.Type(3, "level", "");
        ExpectRefusal(3, "level", {"Level"});
        session.Type(3, "level", "12");
        session.ShowTab(kMainTab);
        QCOMPARE(session.Sheet().CurrentIndex(), kMainTab);
        ExpectSavedChanges({{RecordOffset(kLucca, kStatCurrentMp), 99}});
    }

    void slotsAndFaceWithoutSelectionKeepTheirStoredBytes() {
        // Item 0 is in no list, 0xFF is unknown to the catalogue, face 9 names no member;
        // the name bytes hold codes that read as blanks.
        const std::size_t name = NameOffset(kMagus);
        Session& session = OpenState({{RecordOffset(kMagus, kStatArmor), 0x00},
                                      {RecordOffset(kMagus, kStatWeapon), 0xFF},
                                      {RecordOffset(kMagus, kStatFace), 9},
                                      {name, 0xA4},
                                      {name + 1, 0x01},
                                      {name + 2, 0xEE}});
        session.ShowTab(7);
        QCOMPARE(session.messages.Take(), QStringList{"Item ID not found!"});
        QCOMPARE(session.Find<QComboBox>(7, "armor")->currentIndex(), -1);
        QCOMPARE(session.Find<QComboBox>(7, "weapon")->currentIndex(), -1);
        QCOMPARE(session.Find<QComboBox>(7, "face")->currentIndex(), -1);
        QVERIFY(session.Find<QLineEdit>(7, "name")->text().startsWith(QStringLiteral("E  ")));
        session.Type(7, "power", "50");
        ExpectSavedChanges({{RecordOffset(kMagus, kStatPower), 50}});
    }
};

ORVANE_UI_TEST(PageTest);

}  // namespace orvane::test

#include "page_test.moc"
