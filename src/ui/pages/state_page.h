// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The base of every tab of the editor sheet: the page protocol (reset on Open, fill once on the
// first activation after it, exchange with the controls, write-back on Save) and the builders and
// checks the pages share.
//
// A new page derives from StatePage, builds its controls in its constructor with the Add...
// helpers (positions in dialog units; every control but pictures starts disabled), names each
// control for assistive technology with NameAfterLabel or setAccessibleName, and overrides:
//   Fill()               read its fields from Document() into its held values;
//   ExchangeToControls() show the held values;
//   ReadControls()       take the controls' values into the held values with ReadNumber and
//                        CheckRange (or Refuse), in the page's order; false on the first refusal;
//   WriteBack()          store the held values through the document's accessors;
//   Reset()              only if it holds more than the loaded flag (call the base).
// The sheet registers it with one AddPage line in EditorSheet's constructor, in tab order.

#include <QSize>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "dialog_units.h"
#include "messages.h"
#include "numeric_edit.h"
#include "state_document.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;

namespace orvane {

inline constexpr QSize kPageUnits{240, 166};

class StatePage : public QWidget {
    Q_OBJECT

public:
    StatePage(StateDocument& document, Messages& messages, QString caption,
              QSize sizeInUnits = kPageUnits);

    const QString& Caption() const { return m_caption; }
    bool IsLoaded() const { return m_loaded; }
    QSize SizeInUnits() const { return m_sizeInUnits; }

    // Forget the file's values; the next activation fills the page again.
    virtual void Reset();
    // The page became the visible tab: refresh its controls, and fill it once per Open.
    void OnActivate();
    // Take the values from the controls into the held values and check them, in the page's
    // order; false on the first refusal, which has warned and put the focus on the refused
    // control with its text selected.
    virtual bool ReadControls() = 0;
    virtual void WriteBack() = 0;

    // Focus the first enabled control in tab order, if any.
    void FocusFirstControl();

protected:
    virtual void Fill() = 0;
    virtual void ExchangeToControls() = 0;

    StateDocument& Document() { return m_document; }
    const StateDocument& Document() const { return m_document; }
    Messages& Message() { return m_messages; }

    void Place(QWidget* widget, const UnitRect& rect) const;
    QGroupBox* AddGroup(const QString& caption, const UnitRect& rect);
    QLabel* AddLabel(const QString& text, const UnitRect& rect,
                     Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop);
    QLabel* AddPicture(const QPixmap& picture, const UnitRect& rect);
    NumericEdit* AddNumericEdit(const UnitRect& rect, int textLimit,
                                Qt::Alignment alignment = Qt::AlignRight);
    QLineEdit* AddTextEdit(const UnitRect& rect, int textLimit);
    // A drop-down list without free text; droppedHeight is the open list's height in units.
    QComboBox* AddDropList(int x, int y, int width, int droppedHeight);
    // Any other control that starts disabled and is enabled by the first fill.
    void AddControl(QWidget* control);
    void SetTabChain(std::initializer_list<QWidget*> controls);
    // The accessible name: the label's text without "&" and ":", followed by whose control it
    // is where one label stands for several ("Tech Left, Crono").
    void NameAfterLabel(QWidget* control, const QString& labelText, const QString& whose = {});

    // The edit's text as an unsigned decimal (blanks and tabs around it allowed) into held.
    bool ReadNumber(NumericEdit* edit, std::uint32_t& held, const QString& field);
    bool CheckRange(NumericEdit* edit, std::uint32_t value, std::uint32_t low, std::uint32_t high,
                    const QString& field);
    // Warn, then focus the control with its text selected; always false.
    bool Refuse(QWidget* control, const QString& text);

private:
    StateDocument& m_document;
    Messages& m_messages;
    QString m_caption;
    QSize m_sizeInUnits;
    DialogUnits m_units;
    bool m_loaded = false;
    std::vector<QWidget*> m_controls;
};

}  // namespace orvane
