// SPDX-License-Identifier: GPL-3.0-or-later
#include "state_page.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <limits>
#include <optional>

#include "accessibility.h"
#include "drop_list.h"
#include "group_frame.h"

namespace orvane {

namespace {

constexpr int kDropListHeight = 12;

std::optional<std::uint32_t> ParseUnsigned(const QString& text) {
    static const QRegularExpression kNumber(QStringLiteral("^[ \\t]*([0-9]+)[ \\t]*$"));
    const QRegularExpressionMatch match = kNumber.match(text);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    bool ok = false;
    const qulonglong value = match.captured(1).toULongLong(&ok);
    if (!ok || value > std::numeric_limits<std::uint32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}

}  // namespace

StatePage::StatePage(StateDocument& document, Messages& messages, QString caption,
                     QSize sizeInUnits)
    : m_document(document),
      m_messages(messages),
      m_caption(std::move(caption)),
      m_sizeInUnits(sizeInUnits),
      m_units(PageFont()) {
    setFont(PageFont());
    // The page's caption, so that a screen reader can tell which page it reads.
    setAccessibleName(m_caption);
    setFixedSize(m_units.Size(sizeInUnits.width(), sizeInUnits.height()));
}

void StatePage::Reset() {
    m_loaded = false;
}

void StatePage::OnActivate() {
    ExchangeToControls();
    if (!m_document.IsLoaded() || m_loaded) {
        return;
    }
    m_loaded = true;
    for (QWidget* control : m_controls) {
        control->setEnabled(true);
    }
    Fill();
    ExchangeToControls();
}

void StatePage::FocusFirstControl() {
    for (QWidget* widget = nextInFocusChain(); widget && widget != this;
         widget = widget->nextInFocusChain()) {
        if (!isAncestorOf(widget)) {
            break;
        }
        if (widget->isEnabled() && (widget->focusPolicy() & Qt::TabFocus)) {
            widget->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void StatePage::Place(QWidget* widget, const UnitRect& rect) const {
    widget->setGeometry(m_units.Rect(rect));
}

QGroupBox* StatePage::AddGroup(const QString& caption, const UnitRect& rect) {
    auto* group = new GroupFrame(caption, this);
    Place(group, rect);
    group->lower();
    return group;
}

QLabel* StatePage::AddLabel(const QString& text, const UnitRect& rect, Qt::Alignment alignment) {
    auto* label = new QLabel(text, this);
    label->setAlignment(alignment);
    Place(label, rect);
    return label;
}

QLabel* StatePage::AddPicture(const QPixmap& picture, const UnitRect& rect) {
    auto* label = new QLabel(this);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setAlignment(Qt::AlignCenter);
    label->setPixmap(picture);
    Place(label, rect);
    return label;
}

NumericEdit* StatePage::AddNumericEdit(const UnitRect& rect, int textLimit,
                                       Qt::Alignment alignment) {
    auto* edit = new NumericEdit(textLimit, this);
    edit->setAlignment(alignment);
    edit->SetValue(0);
    Place(edit, rect);
    AddControl(edit);
    return edit;
}

QLineEdit* StatePage::AddTextEdit(const UnitRect& rect, int textLimit) {
    auto* edit = new QLineEdit(this);
    edit->setMaxLength(textLimit);
    Place(edit, rect);
    AddControl(edit);
    return edit;
}

QComboBox* StatePage::AddDropList(int x, int y, int width, int droppedHeight) {
    auto* list = new DropList(this);
    Place(list, {x, y, width, kDropListHeight});
    list->SetDroppedHeight(m_units.Y(y + droppedHeight) - m_units.Y(y));
    AddControl(list);
    return list;
}

void StatePage::AddControl(QWidget* control) {
    control->setEnabled(false);
    m_controls.push_back(control);
}

void StatePage::SetTabChain(std::initializer_list<QWidget*> controls) {
    QWidget* previous = nullptr;
    for (QWidget* control : controls) {
        if (previous) {
            setTabOrder(previous, control);
        }
        previous = control;
    }
}

void StatePage::NameAfterLabel(QWidget* control, const QString& labelText, const QString& whose) {
    const QString name = LabelName(labelText);
    control->setAccessibleName(whose.isEmpty() ? name : tr("%1, %2").arg(name, whose));
}

bool StatePage::ReadNumber(NumericEdit* edit, std::uint32_t& held, const QString& field) {
    const std::optional<std::uint32_t> value = ParseUnsigned(edit->text());
    if (!value) {
        return Refuse(edit, tr("%1 must be a whole number of digits only.").arg(field));
    }
    held = *value;
    return true;
}

bool StatePage::CheckRange(NumericEdit* edit, std::uint32_t value, std::uint32_t low,
                           std::uint32_t high, const QString& field) {
    if (value >= low && value <= high) {
        return true;
    }
    return Refuse(edit, tr("%1 must lie between %2 and %3.").arg(field).arg(low).arg(high));
}

bool StatePage::Refuse(QWidget* control, const QString& text) {
    m_messages.Warning(text);
    control->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        edit->selectAll();
    }
    return false;
}

}  // namespace orvane
