// SPDX-License-Identifier: GPL-3.0-or-later
// Both programs at the scale this run was started with (QT_SCALE_FACTOR): every page of the
// editor, both About boxes and tellim's form are grabbed as a user would see them, and their
// controls must stay inside, show their whole texts and not overlap one another.

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <optional>

#include "about_dialog.h"
#include "editor_app.h"
#include "editor_fixtures.h"
#include "editor_sheet.h"
#include "form1.h"
#include "form2.h"
#include "state_page.h"
#include "tab_strip.h"
#include "tellim_fixtures.h"
#include "text_box.h"

using namespace orvane::test;

namespace {

qreal StartedScale() {
    bool given = false;
    const qreal scale = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&given);
    return given ? scale : 1.0;
}

bool IsControl(const QWidget* widget) {
    return qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QComboBox*>(widget) ||
           qobject_cast<const QAbstractButton*>(widget) ||
           qobject_cast<const QAbstractItemView*>(widget) ||
           qobject_cast<const QAbstractSpinBox*>(widget);
}

bool IsPicture(const QLabel* label) {
    return !label->pixmap().isNull();
}

// What a user sees as separate things: controls, labels and frames, not the parts of a control.
QList<QWidget*> VisibleItems(QWidget* container) {
    QList<QWidget*> items;
    for (QWidget* widget : container->findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(container) || widget->isWindow()) {
            continue;
        }
        bool partOfControl = false;
        for (QWidget* up = widget->parentWidget(); up && up != container; up = up->parentWidget()) {
            partOfControl = partOfControl || IsControl(up);
        }
        const auto* label = qobject_cast<QLabel*>(widget);
        const bool shown = IsControl(widget) || qobject_cast<QGroupBox*>(widget) ||
                           (label && (IsPicture(label) || !label->text().isEmpty()));
        if (shown && !partOfControl) {
            items << widget;
        }
    }
    return items;
}

int TextFlags(const QLabel* label) {
    return static_cast<int>(label->alignment()) | Qt::TextShowMnemonic |
           (label->wordWrap() ? Qt::TextWordWrap : 0);
}

// The part of its parent that an item covers. A text label covers only its text; tellim's text
// boxes only what lies inside their one-pixel border, since its neighbours share a border line.
// The editor's controls that touch in the layout touch here too, so they cover all of themselves.
QRect CoveredArea(const QWidget* item) {
    if (const auto* label = qobject_cast<const QLabel*>(item); label && !IsPicture(label)) {
        return label->fontMetrics()
            .boundingRect(label->contentsRect(), TextFlags(label), label->text())
            .translated(label->pos());
    }
    if (qobject_cast<const TextBox*>(item)) {
        return item->geometry().adjusted(1, 1, -1, -1);
    }
    return item->geometry();
}

QString Describe(const QWidget* item) {
    QString text;
    if (const auto* label = qobject_cast<const QLabel*>(item)) {
        text = label->text();
    } else if (const auto* button = qobject_cast<const QAbstractButton*>(item)) {
        text = button->text();
    } else if (const auto* group = qobject_cast<const QGroupBox*>(item)) {
        text = group->title();
    }
    const QRect area = item->geometry();
    return QStringLiteral("%1 \"%2\" %3 at %4,%5 %6x%7")
        .arg(QString::fromLatin1(item->metaObject()->className()), text, item->objectName())
        .arg(area.x())
        .arg(area.y())
        .arg(area.width())
        .arg(area.height());
}

// Renders the item on a transparent image larger than itself, placed as its alignment places its
// text, and counts the pixels drawn outside its own bounds: what the user would see cut off.
int InkOutside(QWidget* item, Qt::Alignment alignment, bool wraps) {
    constexpr int kGrow = 40;
    const auto shift = [](Qt::Alignment a, Qt::Alignment centre, Qt::Alignment far, int grow) {
        return (a & centre) ? grow / 2 : (a & far) ? grow : 0;
    };
    const int growX = wraps ? 0 : kGrow;  // a wider box would wrap the text differently
    const QPoint offset(shift(alignment, Qt::AlignHCenter, Qt::AlignRight, growX),
                        shift(alignment, Qt::AlignVCenter, Qt::AlignBottom, kGrow));
    const QSize original = item->size();
    const qreal scale = StartedScale();

    item->resize(original + QSize(growX, kGrow));
    QImage image(item->size() * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::transparent);
    item->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    item->resize(original);

    const QRect inside(offset * scale, original * scale);
    int outside = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            outside += !inside.contains(x, y) && qAlpha(image.pixel(x, y)) != 0;
        }
    }
    return outside;
}

// Why the item's text does not fit in it, or nothing.
QString TextOverflow(QWidget* item) {
    const QFontMetrics metrics = item->fontMetrics();
    int ink = 0;
    if (auto* label = qobject_cast<QLabel*>(item); label && !IsPicture(label)) {
        if (label->frameShape() != QFrame::NoFrame) {
            // Its frame is drawn at its bounds too: the one line must fit inside the frame.
            const QRect room = label->contentsRect();
            const bool fits = !label->wordWrap() && metrics.height() <= room.height() &&
                              metrics.horizontalAdvance(label->text()) <= room.width();
            return fits ? QString() : QStringLiteral("does not fit inside its frame");
        }
        ink = InkOutside(label, label->alignment(), label->wordWrap());
    } else if (qobject_cast<QCheckBox*>(item) || qobject_cast<QRadioButton*>(item)) {
        ink = InkOutside(item, Qt::AlignLeft | Qt::AlignVCenter, false);
    }
    if (ink > 0) {
        return QStringLiteral("%1 pixels drawn outside").arg(ink);
    }
    // Frames and buttons draw their outline at their bounds, so their text is measured instead.
    int needed = 0;
    if (const auto* group = qobject_cast<const QGroupBox*>(item)) {
        needed = metrics.horizontalAdvance(QString(group->title()).remove(u'&'));
    } else if (const auto* button = qobject_cast<const QPushButton*>(item)) {
        needed = metrics.horizontalAdvance(QString(button->text()).remove(u'&'));
    }
    return needed <= item->width() ? QString() : QStringLiteral("needs width %1").arg(needed);
}

bool Uniform(const QImage& image) {
    const QRgb first = image.pixel(0, 0);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != first) {
                return false;
            }
        }
    }
    return true;
}

// Grabs the container at the started scale and checks every item it shows; where names the
// container in failures.
void CheckWindow(QWidget* container, const QString& where) {
    const qreal scale = StartedScale();
    const QPixmap shot = container->grab();
    QCOMPARE(shot.devicePixelRatio(), scale);
    QCOMPARE(shot.size(), container->size() * scale);
    const QImage image = shot.toImage();

    const QList<QWidget*> items = VisibleItems(container);
    QVERIFY2(!items.isEmpty(), qPrintable(where + QStringLiteral(" shows nothing")));
    for (QWidget* item : items) {
        const QRect area(item->mapTo(container, QPoint(0, 0)), item->size());
        QVERIFY2(container->rect().contains(area),
                 qPrintable(where + QStringLiteral(": outside: ") + Describe(item)));
        const QString overflow = TextOverflow(item);
        QVERIFY2(overflow.isEmpty(), qPrintable(where + QStringLiteral(": text cut off: ") +
                                                Describe(item) + QStringLiteral(", ") + overflow));
        const QRect pixels(area.topLeft() * scale, area.size() * scale);
        QVERIFY2(!Uniform(image.copy(pixels)),
                 qPrintable(where + QStringLiteral(": not drawn: ") + Describe(item)));
    }

    // Frames hold other items, so only the items among the same frame's children are compared.
    for (qsizetype i = 0; i < items.size(); ++i) {
        for (qsizetype j = i + 1; j < items.size(); ++j) {
            QWidget* a = items[i];
            QWidget* b = items[j];
            if (a->parentWidget() != b->parentWidget() || qobject_cast<QGroupBox*>(a) ||
                qobject_cast<QGroupBox*>(b)) {
                continue;
            }
            QVERIFY2(!CoveredArea(a).intersects(CoveredArea(b)),
                     qPrintable(where + QStringLiteral(": overlap: ") + Describe(a) +
                                QStringLiteral(" and ") + Describe(b)));
        }
    }
}

// A copy of the demo state that the programs may open for writing.
QString DemoCopy(const QTemporaryDir& dir) {
    const QString path = dir.filePath(QStringLiteral("demo.zst"));
    if (!QFile::copy(QStringLiteral(ORVANE_DEMO_STATE), path) ||
        !QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner)) {
        qFatal("cannot copy the demo state %s", ORVANE_DEMO_STATE);
    }
    return path;
}

}  // namespace

class HighDpi : public QObject {
    Q_OBJECT

private slots:
    // Without this a run meant for 2x could pass at 1x unnoticed.
    void RunsAtTheScaleItWasStartedWith() { QCOMPARE(qApp->devicePixelRatio(), StartedScale()); }

    void EditorPagesKeepTheirControlsApart() {
        RecordingMessages messages;
        ScriptedFileDialogs dialogs;
        orvane::EditorApp app(messages, dialogs);
        QTemporaryDir dir;
        app.Start(DemoCopy(dir));
        orvane::EditorSheet& sheet = app.Sheet();
        QVERIFY(QTest::qWaitForWindowExposed(&sheet));
        QCOMPARE(messages.Take() + messages.asked, QStringList());
        QVERIFY(sheet.PageCount() >= 12);

        for (int index = 0; index < sheet.PageCount(); ++index) {
            QVERIFY(sheet.SwitchTo(index));
            orvane::StatePage* page = sheet.CurrentPage();
            QVERIFY2(page->IsLoaded(), qPrintable(page->Caption()));
            const QWidget* stack = page->parentWidget();
            QVERIFY2(stack->rect().contains(page->geometry()), qPrintable(page->Caption()));
            CheckWindow(page, page->Caption());
        }
        QCOMPARE(messages.Take() + messages.asked, QStringList());
    }

    void EditorTabsShowWholeCaptionsApart() {
        RecordingMessages messages;
        ScriptedFileDialogs dialogs;
        orvane::EditorApp app(messages, dialogs);
        app.Start(std::nullopt);
        QVERIFY(QTest::qWaitForWindowExposed(&app.Sheet()));
        const orvane::TabStrip* tabs = app.Sheet().Tabs();
        QCOMPARE(tabs->Count(), app.Sheet().PageCount());
        for (int i = 0; i < tabs->Count(); ++i) {
            const QRect tab = tabs->TabRect(i);
            QVERIFY2(tabs->rect().contains(tab), qPrintable(tabs->Caption(i)));
            QVERIFY2(tabs->fontMetrics().horizontalAdvance(tabs->Caption(i)) < tab.width(),
                     qPrintable(tabs->Caption(i)));
            for (int j = i + 1; j < tabs->Count(); ++j) {
                QVERIFY2(!tab.intersects(tabs->TabRect(j)),
                         qPrintable(tabs->Caption(i) + QStringLiteral(" / ") + tabs->Caption(j)));
            }
        }
        CheckWindow(app.Sheet().centralWidget(), QStringLiteral("sheet"));
    }

    void EditorAboutBoxFits() {
        orvane::AboutDialog about;
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        CheckWindow(&about, QStringLiteral("About box"));
    }

    void TellimFormKeepsItsBoxesApart() {
        ScriptedDialogs dialogs;
        Form1 form(dialogs);
        QTemporaryDir dir;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY(form.OpenFile(DemoCopy(dir)));
        QVERIFY(dialogs.shown.isEmpty());
        CheckWindow(form.centralWidget(), QStringLiteral("tellim"));

        // Each name box lies below its frame's caption, and the colon between hours and minutes.
        for (std::size_t i = 0; i < form.txtName.size(); ++i) {
            const QGroupBox* frame = form.Frame1[i];
            QVERIFY2(frame->contentsRect().contains(form.txtName[i]->geometry()),
                     qPrintable(frame->title()));
        }
        const QRect colon = CoveredArea(form.Label1);
        QVERIFY(form.txtHour2->geometry().right() < colon.left());
        QVERIFY(colon.right() < form.txtMinute1->geometry().left());
    }

    void TellimAboutBoxFits() {
        Form2 about;
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        CheckWindow(&about, QStringLiteral("tellim About box"));
    }
};

QTEST_MAIN(HighDpi)
#include "high_dpi_test.moc"
